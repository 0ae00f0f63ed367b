// Two games linking the same player's directory over stale links at once.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "GameFiles.h"
#include "platform/PlayerDirectory.h"
#include "platform/PlayerDirectorySides.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
namespace playerdir = platform::playerdir;

const std::vector<std::string> twoFiles = {gamefiles::plainBrain, gamefiles::font};

bool isLinkCall(const __ptrace_syscall_info& call)
{
    return call.op == PTRACE_SYSCALL_INFO_ENTRY &&
           (call.entry.nr == SYS_symlink || call.entry.nr == SYS_symlinkat);
}

// A child that links the directory, held by the test as it is about to make
// its first link, the stale one of that name removed; -1 if it cannot be
// held there.
pid_t childHeldBeforeItsFirstLink(const fs::path& files, const fs::path& player,
                                  const std::vector<std::string>& names)
{
    // A fork of its own, as below: the case is two games racing.
    const pid_t child = fork();
    if (child == 0) {
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        raise(SIGSTOP);
        _exit(playerdir::placeGameFiles(files, player, names) ? EXIT_FAILURE : EXIT_SUCCESS);
    }
    int status = 0;
    if (waitpid(child, &status, WUNTRACED) != child ||
        ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL) != 0) {
        kill(child, SIGKILL); // not traced, so held for ever
        waitpid(child, &status, 0);
        return -1;
    }
    __ptrace_syscall_info call{};
    do {
        if (ptrace(PTRACE_SYSCALL, child, nullptr, nullptr) != 0 ||
            waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
            return -1;
        ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof call, &call);
    } while (!isLinkCall(call));
    return child;
}

int exitStatus(pid_t child)
{
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(PlayerDirectory, TwoGamesLinkingOverStaleLinksAtOnceBothSucceed)
{
    // The first game holds at its first link; the second links everything in
    // that moment, then the first goes on.
    const ScopedWorkDir root;
    const fs::path files = fs::path(root.path()) / "files";
    const fs::path player = fs::path(root.path()) / "player";
    fs::create_directories(files);
    fs::create_directories(player);
    for (const std::string& name : twoFiles) {
        std::ofstream(files / name) << "x";
        fs::create_symlink(fs::path(root.path()) / "gone" / name, player / name);
    }
    const pid_t first = childHeldBeforeItsFirstLink(files, player, twoFiles);
    ASSERT_GT(first, 0);
    const pid_t second = fork();
    if (second == 0)
        _exit(playerdir::placeGameFiles(files, player, twoFiles) ? EXIT_FAILURE : EXIT_SUCCESS);
    EXPECT_EQ(exitStatus(second), EXIT_SUCCESS);
    ptrace(PTRACE_DETACH, first, nullptr, nullptr);
    EXPECT_EQ(exitStatus(first), EXIT_SUCCESS);
    for (const std::string& name : twoFiles)
        EXPECT_EQ(fs::read_symlink(player / name), files / name);
}
