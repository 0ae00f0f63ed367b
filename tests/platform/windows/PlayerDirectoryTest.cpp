// The player's directory on Windows: in %LOCALAPPDATA% whatever letters the
// user's name has, with copies of the game's files kept fresh, and a
// temporary directory where there is no %LOCALAPPDATA%.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "platform/PlayerDirectory.h"
#include "WindowsChild.h"

namespace fs = std::filesystem;
namespace playerdir = platform::playerdir;

namespace {

const std::vector<std::string> twoFiles = {"brain.png", "Arial.ttf"};

void writeFile(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::string readWhole(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The game's files, "brain.png" holding `brain`.
fs::path gameFiles(const fs::path& root, const std::string& brain)
{
    const fs::path files = root / "files";
    fs::create_directories(files);
    writeFile(files / twoFiles[0], brain);
    writeFile(files / twoFiles[1], "font");
    return files;
}

} // namespace

// Two games: the second finds the score the first kept, and a picture that
// changed between them copied anew.
TEST(WindowsPlayerDirectory, IsInLocalAppDataWithFreshCopiesAndKeepsTheScore)
{
    const TestDirectory root(L"quasaril-zoë-Ørsted-игрок");
    const fs::path localAppData = root.path() / L"Zoë Ørsted" / L"AppData" / L"Local";
    fs::create_directories(localAppData);
    SetEnvironmentVariableW(L"LOCALAPPDATA", localAppData.c_str());
    _wputenv_s(L"LOCALAPPDATA", localAppData.c_str());
    const fs::path before = fs::current_path();
    for (const char* brain : {"first picture", "second picture"}) {
        SCOPED_TRACE(brain);
        const fs::path files = gameFiles(root.path(), brain);
        std::ostringstream complaints;
        std::optional<playerdir::PlayDirectory> play(std::in_place, files, twoFiles, complaints);
        EXPECT_EQ(complaints.str(), "");
        EXPECT_FALSE(play->temporary());
        EXPECT_EQ(play->path(), localAppData / L"Quasaril");
        EXPECT_EQ(fs::current_path(), play->path());
        EXPECT_EQ(readWhole(twoFiles[0]), brain);
        EXPECT_EQ(readWhole(twoFiles[1]), "font");
        if (readWhole("HighScore.txt").empty())
            writeFile("HighScore.txt", "98700");
        play.reset();
        fs::current_path(before);
    }
    EXPECT_EQ(readWhole(localAppData / L"Quasaril" / "HighScore.txt"), "98700");
}

TEST(WindowsPlayerDirectory, WithoutLocalAppDataPlayIsInATemporaryDirectory)
{
    const TestDirectory root(L"quasaril-nolocal");
    const fs::path files = gameFiles(root.path(), "picture");
    _wputenv_s(L"LOCALAPPDATA", L"");
    SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    const fs::path before = fs::current_path();
    std::ostringstream complaints;
    std::optional<playerdir::PlayDirectory> play(std::in_place, files, twoFiles, complaints);
    const fs::path where = play->path();
    const std::string line = complaints.str();
    EXPECT_TRUE(play->temporary());
    EXPECT_EQ(fs::current_path(), where);
    EXPECT_EQ(readWhole(twoFiles[0]), "picture");
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
    EXPECT_NE(line.find("LOCALAPPDATA is not an absolute path"), std::string::npos) << line;
    EXPECT_NE(line.find(where.u8string()), std::string::npos) << line;
    writeFile("HighScore.txt", "10");
    play.reset();
    fs::current_path(before);
    EXPECT_FALSE(fs::exists(where)) << "a temporary directory is removed after play";
}
