// The high-score file on Windows, in the settings a player can leave it in,
// each saved twice (two frames of one score) in a child process; and a saver
// ended at random moments, which never leaves a broken file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "Score.h"
#include "WindowsChild.h"

namespace fs = std::filesystem;

namespace {

constexpr float gameScore = 200;
const char* const framesMark = "frames: ";

std::string readWhole(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const char* text)
{
    std::ofstream("HighScore.txt", std::ios::binary) << text;
}

} // namespace

struct FileCase {
    const char* setting;
    void (*setUp)();   // run in the play directory before the child saves
    float best;        // what SaveScore(200) returns, in both frames
    const char* after; // the file's text afterwards; null: it is not a file
    const char* said;  // in the one line on standard error; "" when nothing is said
};

void PrintTo(const FileCase& c, std::ostream* out)
{
    *out << c.setting;
}

const FileCase fileCases[] = {
    {"no file", [] {}, 200, "200", ""},
    {"a score the game does not beat", [] { writeFile("1234567"); }, 1234567, "1234567", ""},
    {"a hand-edited number", [] { writeFile("  300\r\n"); }, 300, "  300\r\n", ""},
    {"words", [] { writeFile("words"); }, 200, "200", ""},
    {"a read-only file",
     [] {
         writeFile("100");
         SetFileAttributesW(L"HighScore.txt", FILE_ATTRIBUTE_READONLY);
     },
     200, "100", "denied"},
    {"a directory", [] { fs::create_directory("HighScore.txt"); }, 200, nullptr,
     "not a regular file"},
};

class WindowsHighScoreFile : public ::testing::TestWithParam<FileCase> {};

// What a child of the case below does: save the game's score in two frames.
TEST(WindowsChild, DISABLED_SavesTwice)
{
    Score score;
    const float first = score.SaveScore(gameScore);
    const float second = score.SaveScore(gameScore);
    std::printf("%s%.9g %.9g\n", framesMark, first, second);
}

TEST_P(WindowsHighScoreFile, SavesOnlyWhereItMayAndSaysOnceWhyNot)
{
    const FileCase& c = GetParam();
    const TestDirectory root(L"quasaril-save");
    const fs::path play = root.path() / "play";
    fs::create_directory(play);
    const fs::path before = fs::current_path();
    fs::current_path(play);
    c.setUp();
    fs::current_path(before);
    const HANDLE child =
        startChild("SavesTwice", "", play, root.path() / "said.txt", root.path() / "out.txt");
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(finishChild(child), 0);
    const std::string out = readWhole(root.path() / "out.txt");
    const std::size_t mark = out.find(framesMark);
    ASSERT_NE(mark, std::string::npos) << out;
    float best[2] = {};
    std::istringstream(out.substr(mark + std::strlen(framesMark))) >> best[0] >> best[1];
    EXPECT_EQ(best[0], c.best);
    EXPECT_EQ(best[1], c.best);
    const fs::path file = play / "HighScore.txt";
    if (c.after) {
        EXPECT_EQ(readWhole(file), c.after);
    } else {
        EXPECT_TRUE(fs::is_directory(file));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(play), fs::directory_iterator()), 1)
        << "a draft was left behind";
    const std::string said = readWhole(root.path() / "said.txt");
    if (*c.said == '\0') {
        EXPECT_EQ(said, "");
    } else {
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find(file.u8string()), std::string::npos) << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, WindowsHighScoreFile, ::testing::ValuesIn(fileCases));

// What a child of the case below does: save ever higher scores until it is
// ended, or for a minute at most.
TEST(WindowsChild, DISABLED_SavesUntilEnded)
{
    Score score;
    const ULONGLONG until = GetTickCount64() + 60000;
    for (float next = 2; GetTickCount64() < until; ++next)
        score.SaveScore(next);
}

TEST(WindowsHighScoreKill, FileAlwaysHoldsANumber)
{
    constexpr int kills = 6;
    constexpr DWORD longestDelayMs = 5;
    constexpr ULONGLONG firstSaveDeadlineMs = 30000;
    std::mt19937 random(2024); // fixed seed: the same kill moments every run
    std::uniform_int_distribution<DWORD> delay(0, longestDelayMs);
    const TestDirectory root(L"quasaril-kill");
    const fs::path play = root.path() / "play";
    fs::create_directory(play);
    const fs::path file = play / "HighScore.txt";
    for (int round = 0; round < kills; ++round) {
        std::ofstream(file, std::ios::binary) << "1";
        const HANDLE child = startChild("SavesUntilEnded", "", play, root.path() / "said.txt",
                                        root.path() / "out.txt");
        ASSERT_NE(child, nullptr);
        // Ended once it has saved, a few milliseconds into its saving.
        const ULONGLONG deadline = GetTickCount64() + firstSaveDeadlineMs;
        while (readWhole(file) == "1" && GetTickCount64() < deadline)
            Sleep(1);
        Sleep(delay(random));
        TerminateProcess(child, 1);
        WaitForSingleObject(child, INFINITE);
        CloseHandle(child);
        const std::string text = readWhole(file);
        float value = 0;
        std::istringstream in(text);
        ASSERT_TRUE(in >> value && in.eof() && std::isfinite(value) && value >= 2)
            << "after kill " << round << " the file holds \"" << text << "\"";
    }
}
