#include "ChildSave.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <windows.h>

#include "../../platform/windows/WindowsChild.h"
#include "Score.h"

namespace fs = std::filesystem;

const int saverKills = 6;
const char* const refusedReason = "Access denied";
const char* const draftName = "HighScore.txt.1944435320"; // a dot and a random number
const fs::perms plainFileBits = fs::perms(0666);          // read-only is the one bit kept

namespace {

const char* const framesMark = "frames: ";
constexpr ULONGLONG saverLifetimeMs = 60000; // a saver nobody ends stops by itself
constexpr UINT killedCode = 137;             // what TerminateProcess makes a saver end with

} // namespace

// What a child of saveTwiceInChild does: save the score its role names in
// two frames.
TEST(WindowsChild, DISABLED_SavesTwice)
{
    Score score;
    const float gameScore = std::stof(childRole());
    const float first = score.SaveScore(gameScore);
    const float second = score.SaveScore(gameScore);
    std::printf("%s%.9g %.9g\n", framesMark, first, second);
}

// What a saver does: save ever higher scores from the one its role names.
TEST(WindowsChild, DISABLED_SavesUntilEnded)
{
    Score score;
    const ULONGLONG until = GetTickCount64() + saverLifetimeMs;
    for (float next = std::stof(childRole()); GetTickCount64() < until; ++next)
        score.SaveScore(next);
}

bool savesAs(Saver saver)
{
    return saver == Saver::player;
}

// Windows has no fork: the set-up runs here, the saves in a child started
// in the working directory. Its output goes to a directory of its own.
std::optional<TwoFrames> saveTwiceInChild(void (*setUp)(), Saver, float score)
{
    setUp();
    const TestDirectory outside(L"quasaril-save");
    const fs::path said = outside.path() / "said.txt";
    const fs::path out = outside.path() / "out.txt";
    const HANDLE child =
        startChild("SavesTwice", std::to_string(score), fs::current_path(), said, out);
    if (child == nullptr || finishChild(child) != 0)
        return std::nullopt;
    const std::string printed = readFile(out.string());
    const std::size_t mark = printed.find(framesMark);
    if (mark == std::string::npos)
        return std::nullopt;
    TwoFrames frames{};
    std::istringstream(printed.substr(mark + std::strlen(framesMark))) >> frames.best[0] >>
        frames.best[1];
    frames.said = readFile(said.string());
    return frames;
}

std::intptr_t startSaver(float from)
{
    static const TestDirectory outside(L"quasaril-saver");
    const HANDLE child = startChild("SavesUntilEnded", std::to_string(from), fs::current_path(),
                                    outside.path() / "said.txt", outside.path() / "out.txt");
    return reinterpret_cast<std::intptr_t>(child);
}

bool killSaver(std::intptr_t saver)
{
    const HANDLE child = reinterpret_cast<HANDLE>(saver);
    DWORD code = 0;
    TerminateProcess(child, killedCode);
    WaitForSingleObject(child, INFINITE);
    GetExitCodeProcess(child, &code);
    CloseHandle(child);
    return code == killedCode;
}

// The game gives its files no owner of their own here.
std::string foreignOwner(const fs::path&)
{
    return "";
}
