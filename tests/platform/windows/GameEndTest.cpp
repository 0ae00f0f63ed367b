// The temporary play directory on Windows goes when the process calls
// exit(), the game standing in it with its score and a half-made draft.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/GameEnd.h"
#include "Files.h"
#include "windows/HiddenCase.h"

namespace fs = std::filesystem;

namespace {

constexpr int exitedStatus = 3;

} // namespace

// What a child of the case below does: play in a directory gone at the end,
// say where it is, and exit().
TEST(WindowsChild, DISABLED_PlaysAndExits)
{
    fs::path directory;
    ASSERT_FALSE(platform::gameend::makeDirectoryGoneAtEnd(
        fs::temp_directory_path() / "quasaril-XXXXXX", directory));
    fs::current_path(directory);
    std::ofstream("HighScore.txt") << "10";
    std::ofstream("HighScore.txt.1234") << "2";
    std::printf("%s\n", directory.u8string().c_str());
    std::fflush(stdout);
    std::exit(exitedStatus);
}

TEST(WindowsGameEnd, TheTemporaryDirectoryGoesAtExit)
{
    const TemporaryDirectory root;
    const fs::path out = root.path() / "out.txt";
    ChildProgram child(hiddenCase("PlaysAndExits", "", root.path(), root.path() / "said.txt", out));
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.wait(childDeadline), exitedStatus);
    std::ifstream said(out);
    std::string directory;
    for (std::string line; std::getline(said, line);)
        if (line.find("quasaril-") != std::string::npos)
            directory = line.substr(0, line.find_last_not_of("\r") + 1);
    ASSERT_FALSE(directory.empty());
    EXPECT_FALSE(fs::exists(fs::u8path(directory))) << directory;
}
