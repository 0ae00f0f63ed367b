#include "ChildSave.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Score.h"

namespace fs = std::filesystem;

const int saverKills = 300;
const char* const refusedReason = "Permission denied";
const char* const draftName = "HighScore.txt.a1B2c3"; // mkostemp's six letters
const fs::perms plainFileBits = fs::perms(0644);      // under the player's umask

namespace {

constexpr uid_t rootUser = 0;
constexpr mode_t playerUmask = 022;
constexpr int saveDeadlineMs = 20000; // a save that blocks fails instead of hanging

// What the child sends down its pipe.
struct Counts {
    float best[2];
    long long firstRead;
    long long secondWrites;
};

// A count from /proc/self/io: "rchar" (bytes read), "syscw" (write calls).
long long ioCount(const std::string& field)
{
    std::ifstream io("/proc/self/io");
    std::string name;
    long long count = 0;
    while (io >> name >> count)
        if (name == field + ":")
            return count;
    return -1;
}

bool becomePlayer()
{
    return setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0 &&
           prctl(PR_SET_DUMPABLE, 1) == 0; // keeps /proc/self/io readable
}

[[noreturn]] void saveTwice(void (*setUp)(), Saver saver, float gameScore, int resultPipe, int said)
{
    if ((saver == Saver::player && geteuid() == rootUser && !becomePlayer()) ||
        dup2(said, STDERR_FILENO) < 0)
        _exit(1);
    umask(playerUmask);
    setUp();
    Score score;
    Counts counts{};
    const long long readBefore = ioCount("rchar");
    counts.best[0] = score.SaveScore(gameScore);
    counts.firstRead = ioCount("rchar") - readBefore;
    const long long writesBefore = ioCount("syscw");
    counts.best[1] = score.SaveScore(gameScore);
    counts.secondWrites = ioCount("syscw") - writesBefore;
    _exit(write(resultPipe, &counts, sizeof counts) == sizeof counts ? 0 : 1);
}

} // namespace

bool savesAs(Saver saver)
{
    return saver == Saver::player || geteuid() == rootUser;
}

std::optional<TwoFrames> saveTwiceInChild(void (*setUp)(), Saver saver, float score)
{
    if (geteuid() == rootUser && chown(".", nobody, nobody) != 0) // the player's directory
        return std::nullopt;
    int result[2];
    std::FILE* const said = std::tmpfile();
    if (said == nullptr || pipe(result) != 0)
        return std::nullopt;
    // A fork of its own: the child runs the game's save itself, as another
    // user, not a program the starter could start.
    const pid_t child = fork();
    if (child == 0)
        saveTwice(setUp, saver, score, result[1], fileno(said));
    close(result[1]);
    pollfd answer{result[0], POLLIN, 0};
    Counts counts{};
    const bool answered = child > 0 && poll(&answer, 1, saveDeadlineMs) == 1 &&
                          read(result[0], &counts, sizeof counts) == sizeof counts;
    close(result[0]);
    if (child > 0) {
        kill(child, SIGKILL); // stops a child blocked in the save
        waitpid(child, nullptr, 0);
    }
    const std::string text = readFile("/proc/self/fd/" + std::to_string(fileno(said)));
    std::fclose(said);
    if (!answered)
        return std::nullopt;
    return TwoFrames{{counts.best[0], counts.best[1]}, counts.firstRead, counts.secondWrites, text};
}

std::string foreignOwner(const fs::path& entry)
{
    struct stat directory {};
    struct stat owner {};
    stat(".", &directory);
    lstat(entry.c_str(), &owner);
    if (owner.st_uid == directory.st_uid && owner.st_gid == directory.st_gid)
        return "";
    return " owner " + std::to_string(owner.st_uid) + ':' + std::to_string(owner.st_gid);
}

namespace {

// Saves growing scores until killed; ends by itself should nobody kill it.
[[noreturn]] void saveUntilKilled(float from)
{
    constexpr float savesAtMost = 100000;
    Score score;
    for (float next = from; next < from + savesAtMost; ++next)
        score.SaveScore(next);
    _exit(0);
}

} // namespace

std::intptr_t startSaver(float from)
{
    // A fork of its own: the case is the save's end, killed midway.
    const pid_t child = fork();
    if (child == 0)
        saveUntilKilled(from);
    return child > 0 ? child : 0;
}

bool killSaver(std::intptr_t saver)
{
    const pid_t child = static_cast<pid_t>(saver);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}
