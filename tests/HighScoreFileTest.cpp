// The cases of the high-score file that both sides share, and the one test
// that runs every case, these and each side's own.

#include "HighScoreFileCases.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

const char* const notRegular = "not a regular file";

void placeFile(const std::string& name, const std::string& text, fs::perms bits)
{
    std::ofstream(name, std::ios::binary) << text;
    fs::permissions(name, bits);
}

namespace {

const std::string highScoreFile = "HighScore.txt";

constexpr float gameScore = 200;
constexpr long long readAtMost = 64 * 1024;     // the file's start, /proc/self/io and a margin
constexpr std::uintmax_t shownTextAtMost = 100; // longer files show their size

// The text as UTF-16, little-endian, after its byte-order mark, as
// PowerShell's ">" and Notepad's "Unicode" write it.
std::string utf16(const std::string& ascii)
{
    std::string text = "\xff\xfe";
    for (const char c : ascii)
        text += std::string{c, '\0'};
    return text;
}

std::string quoted(const std::string& text)
{
    return "HighScore.txt \"" + text + '"';
}

const FileCase sharedCases[] = {
    {"no file", [] {}, 200, quoted("200")},
    {"an empty file", [] { placeFile(highScoreFile, ""); }, 200, quoted("200")},
    {"words", [] { placeFile(highScoreFile, "words"); }, 200, quoted("200")},
    {"a hand-edited number", [] { placeFile(highScoreFile, "  300\r\n"); }, 300,
     quoted("  300\r\n")},
    {"a score the game does not beat", [] { placeFile(highScoreFile, "1234567"); }, 1234567,
     quoted("1234567")},
    {"a UTF-8 byte-order mark",
     [] {
         placeFile(highScoreFile, "\xef\xbb\xbf"
                                  "5000\r\n");
     },
     5000,
     quoted("\xef\xbb\xbf"
            "5000\r\n")},
    {"a UTF-16 byte-order mark", [] { placeFile(highScoreFile, utf16("5000\r\n")); }, 5000,
     quoted(utf16("5000\r\n"))},
    {"a UTF-16 character whose low byte is a digit", // U+0E35 ends the number 5
     [] {
         placeFile(highScoreFile, std::string("\xff\xfe"
                                              "5\0"
                                              "5\x0e"
                                              "0\0"
                                              "0\0",
                                              10));
     },
     200, quoted("200")},
    {"a read-only file", [] { placeFile(highScoreFile, "100", fs::perms(0444)); }, 200,
     "HighScore.txt 444 \"100\"", refusedReason},
    {"a directory", [] { fs::create_directory(highScoreFile); }, 200, "HighScore.txt/", notRegular},
    {"a hard link",
     [] {
         placeFile("other.txt", "100");
         fs::create_hard_link("other.txt", highScoreFile);
     },
     200, quoted("200") + "; other.txt \"200\""},
    {"a draft a killed save left",
     [] {
         placeFile(highScoreFile, "100");
         placeFile(draftName, "100");
         fs::last_write_time(draftName, fs::file_time_type::clock::now() - std::chrono::hours(1));
     },
     200, quoted("200")},
    {"a draft another game is writing",
     [] {
         placeFile(highScoreFile, "100");
         placeFile(draftName, "150");
     },
     200, quoted("200") + "; " + draftName + " \"150\""},
};

// The permission bits where they are not a new file's, and the text (or the
// size) of a file, the target of a link.
void describeEntry(const fs::directory_entry& entry, std::ostream& line)
{
    const std::string name = entry.path().filename().string();
    const fs::file_status status = entry.symlink_status();
    if (fs::is_symlink(status)) {
        line << " -> " << fs::read_symlink(entry.path()).string();
        return;
    }
    if (fs::is_directory(status)) {
        line << "/";
        return;
    }
    if (fs::is_fifo(status)) {
        line << " |";
        return;
    }
    if (status.permissions() != plainFileBits)
        line << ' ' << std::oct << static_cast<int>(status.permissions()) << std::dec;
    if (fs::file_size(name) > shownTextAtMost)
        line << ' ' << fs::file_size(name) << " bytes";
    else
        line << " \"" << readFile(name) << '"';
}

// Every entry of the working directory in one line, a draft left behind
// included, with its owner where it is not the directory's.
std::string describeWorkDir()
{
    std::set<std::string> lines;
    for (const auto& entry : fs::directory_iterator(".")) {
        std::ostringstream line;
        line << entry.path().filename().string();
        describeEntry(entry, line);
        line << foreignOwner(entry.path());
        lines.insert(line.str());
    }
    std::string all;
    for (const auto& line : lines)
        all += (all.empty() ? "" : "; ") + line;
    return all;
}

} // namespace

// Two frames of the same score: the first saves (or fails, and says so in
// one line naming the file), reading no more than the file's start; the
// second writes nothing at all.
TEST_P(HighScoreFileTest, SavesOnlyWhereItMayAndNeverFollowsADraftName)
{
    const FileCase& c = GetParam();
    if (!savesAs(c.saver))
        GTEST_SKIP() << "saving as root needs root";
    const ScopedWorkDir dir;
    const std::optional<TwoFrames> frames = saveTwiceInChild(c.setUp, c.saver, gameScore);
    ASSERT_TRUE(frames) << "the save failed or blocked";
    const std::string& line = frames->said;
    EXPECT_EQ(frames->best[0], c.best);
    EXPECT_EQ(frames->best[1], c.best);
    EXPECT_EQ(describeWorkDir(), c.after);
    if (frames->firstRead) {
        EXPECT_LE(*frames->firstRead, readAtMost);
    }
    if (frames->secondWrites) {
        EXPECT_EQ(*frames->secondWrites, 0) << "the second frame saved again";
    }
    if (c.said.empty()) {
        EXPECT_EQ(line, "");
    } else {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
        const std::string file = (fs::path(dir.path()) / highScoreFile).string();
        EXPECT_NE(line.find(file), std::string::npos) << line;
        EXPECT_NE(line.find(c.said), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, HighScoreFileTest, ::testing::ValuesIn(sharedCases));
