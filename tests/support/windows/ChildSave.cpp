#include "ChildSave.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <utility>
#include <windows.h>

#include "Files.h"
#include "windows/HiddenCase.h"
#include "Score.h"

namespace fs = std::filesystem;

const int saverKills = 6;
const char* const refusedReason = "Access denied";
const char* const draftName = "HighScore.txt.1944435320"; // a dot and a random number
const fs::perms plainFileBits = fs::perms(0666);          // read-only is the one bit kept

namespace {

const char* const framesMark = "frames: ";
constexpr ULONGLONG saverLifetimeMs = 60000; // a saver nobody ends stops by itself
constexpr int killedSignal = 9;              // SIGKILL's number, as ChildProgram ends a saver

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
    const TemporaryDirectory outside;
    const fs::path said = outside.path() / "said.txt";
    const fs::path out = outside.path() / "out.txt";
    ChildProgram child(
        hiddenCase("SavesTwice", std::to_string(score), fs::current_path(), said, out));
    if (child.wait(childDeadline) != 0)
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

// The savers running, by their handles.
std::map<std::intptr_t, ChildProgram>& savers()
{
    static std::map<std::intptr_t, ChildProgram> running;
    return running;
}

std::intptr_t startSaver(float from)
{
    static const TemporaryDirectory outside;
    ChildProgram child(hiddenCase("SavesUntilEnded", std::to_string(from), fs::current_path(),
                                  outside.path() / "said.txt", outside.path() / "out.txt"));
    if (!child.started())
        return 0;
    const std::intptr_t id = child.id();
    savers().emplace(id, std::move(child));
    return id;
}

bool killSaver(std::intptr_t saver)
{
    const auto found = savers().find(saver);
    if (found == savers().end())
        return false;
    ChildProgram& child = found->second;
    child.signal(killedSignal);
    const bool killed = child.wait(childDeadline) == shellSignalBase + killedSignal;
    savers().erase(found);
    return killed;
}

// The game gives its files no owner of their own here.
std::string foreignOwner(const fs::path&)
{
    return "";
}
