// The temporary play directory goes however the process ends: a stop signal
// ends it as a closed window does, exit() as it says.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pthread.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "GameFiles.h"
#include "platform/GameEnd.h"

namespace {

namespace fs = std::filesystem;
namespace gameend = platform::gameend;

constexpr int closedStatus = 0;
constexpr int exitedStatus = 3;
constexpr std::size_t longestPath = 4096;

struct Ending {
    int signal; // 0: none, the process calls exit()
    bool ignoredAtStart;
    bool toAnotherThread; // as to a thread of the graphics driver
    int status;
};

constexpr auto signalMissed = std::chrono::seconds(10);

// Sends the signal to a thread that only waits, then waits for the signal.
void raiseInAnotherThread(int signal)
{
    std::thread waiting([] {
        for (;;)
            pause();
    });
    pthread_kill(waiting.native_handle(), signal);
    waiting.detach();
    std::this_thread::sleep_for(signalMissed); // the signal cuts it short
}

// In a child: a directory gone at the end, holding what a game leaves there,
// its path written to `out`; then the ending.
[[noreturn]] void playAndEnd(const Ending& ending, int out)
{
    if (ending.ignoredAtStart)
        std::signal(ending.signal, SIG_IGN);
    gameend::endOnStopSignals(closedStatus);
    fs::path directory;
    if (gameend::makeDirectoryGoneAtEnd(fs::temp_directory_path() / "quasaril-XXXXXX", directory))
        _exit(EXIT_FAILURE);
    std::ofstream(directory / "HighScore.txt") << "10";
    std::ofstream(directory / "HighScore.txt.a1B2c3") << "2";
    fs::create_symlink(fs::path("/gone") / gamefiles::plainBrain,
                       directory / gamefiles::plainBrain);
    const std::string path = directory.string();
    if (write(out, path.c_str(), path.size()) != static_cast<ssize_t>(path.size()))
        _exit(EXIT_FAILURE);
    if (ending.toAnotherThread)
        raiseInAnotherThread(ending.signal);
    else if (ending.signal)
        raise(ending.signal);
    std::exit(exitedStatus);
}

std::string readAll(int in)
{
    std::string text;
    char buffer[longestPath];
    for (ssize_t got; (got = read(in, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

} // namespace

TEST(GameEnd, TheTemporaryDirectoryGoesOnStopSignalsAndAtExit)
{
    const Ending endings[] = {
        {SIGTERM, false, false, closedStatus},
        {SIGHUP, false, false, closedStatus},
        {SIGINT, false, false, closedStatus},
        {SIGTERM, false, true, closedStatus},
        {0, false, false, exitedStatus},
        {SIGHUP, true, false, exitedStatus}, // nohup: the signal does nothing
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE("signal " + std::to_string(ending.signal) +
                     (ending.ignoredAtStart ? ", ignored at start" : "") +
                     (ending.toAnotherThread ? ", to another thread" : ""));
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        std::fflush(nullptr);
        // A fork of its own: the case is how the game's process ends.
        const pid_t child = fork();
        if (child == 0) {
            close(pipeEnds[0]);
            playAndEnd(ending, pipeEnds[1]);
        }
        close(pipeEnds[1]);
        const std::string directory = readAll(pipeEnds[0]);
        close(pipeEnds[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), ending.status);
        ASSERT_FALSE(directory.empty());
        EXPECT_FALSE(fs::exists(fs::symlink_status(directory))) << directory;
    }
}
