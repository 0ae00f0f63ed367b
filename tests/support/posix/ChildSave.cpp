#include "ChildSave.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <poll.h>
#include <set>
#include <sstream>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Score.h"

namespace fs = std::filesystem;

namespace {

constexpr mode_t playerUmask = 022;
constexpr int saveDeadlineMs = 20000;           // a save that blocks fails instead of hanging
constexpr std::uintmax_t shownTextAtMost = 100; // longer files show their size

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

// The kind, mode and text (or size) of a file, the target of a link.
void describeEntry(const fs::directory_entry& entry, std::ostream& line)
{
    const std::string name = entry.path().filename().string();
    const fs::file_status status = entry.symlink_status();
    if (fs::is_symlink(status))
        line << " -> " << fs::read_symlink(entry.path()).string();
    else if (fs::is_directory(status))
        line << "/";
    else if (fs::is_fifo(status))
        line << " |";
    else if (fs::file_size(name) > shownTextAtMost)
        line << ' ' << std::oct << static_cast<int>(status.permissions()) << std::dec << ' '
             << fs::file_size(name) << " bytes";
    else
        line << ' ' << std::oct << static_cast<int>(status.permissions()) << " \"" << readFile(name)
             << '"';
}

} // namespace

std::optional<TwoFrames> saveTwiceInChild(void (*setUp)(), Saver saver, float score)
{
    int result[2];
    std::FILE* const said = std::tmpfile();
    if (said == nullptr || pipe(result) != 0)
        return std::nullopt;
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

std::string describeWorkDir()
{
    struct stat directory {};
    stat(".", &directory);
    std::set<std::string> lines;
    for (const auto& entry : fs::directory_iterator(".")) {
        std::ostringstream line;
        line << entry.path().filename().string();
        describeEntry(entry, line);
        struct stat owner {};
        lstat(entry.path().c_str(), &owner);
        if (owner.st_uid != directory.st_uid || owner.st_gid != directory.st_gid)
            line << " owner " << owner.st_uid << ':' << owner.st_gid;
        lines.insert(line.str());
    }
    std::string all;
    for (const auto& line : lines)
        all += (all.empty() ? "" : "; ") + line;
    return all;
}
