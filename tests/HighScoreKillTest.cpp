// The high-score file while savers are killed at random moments: it always
// holds a whole number, never a part of one or none.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <iostream>
#include <optional>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "Score.h"
#include "TestSupport.h"

namespace {

const std::string highScoreFile = "HighScore.txt";

using Microseconds = std::chrono::microseconds;

// Saves growing scores until killed, telling the parent once the first save
// is done; ends by itself should nobody kill it.
[[noreturn]] void saveUntilKilled(float from, int readyPipe)
{
    constexpr float savesAtMost = 100000;
    Score score;
    score.SaveScore(from);
    const char ready = 1;
    if (write(readyPipe, &ready, 1) != 1)
        _exit(1);
    for (float next = from + 1; next < from + savesAtMost; ++next)
        score.SaveScore(next);
    _exit(0);
}

Microseconds averageSaveTime()
{
    constexpr int saves = 20;
    Score score;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < saves; ++i)
        score.SaveScore(static_cast<float>(i));
    return std::chrono::duration_cast<Microseconds>(std::chrono::steady_clock::now() - start) /
           saves;
}

// Starts a saver and kills it at a random moment of its saving loop; returns
// whether SIGKILL was what ended it.
bool killASaver(float from, std::mt19937& random, Microseconds longestDelay)
{
    int ready[2];
    if (pipe(ready) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0)
        saveUntilKilled(from, ready[1]);
    close(ready[1]);
    char byte = 0;
    const bool started = child > 0 && read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    if (child < 0)
        return false;
    if (started)
        std::this_thread::sleep_for(
            Microseconds(std::uniform_int_distribution<long>(0, longestDelay.count())(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

} // namespace

TEST(HighScoreKill, FileAlwaysHoldsAValidNumber)
{
    constexpr int kills = 300;
    constexpr int fewestKills = 200;
    constexpr int delayInSaves = 3;                   // kill within the first few saves of a saver
    const auto timeBudget = std::chrono::seconds(60); // room for a busy machine
    const ScopedWorkDir dir;
    const Microseconds longestDelay = averageSaveTime() * delayInSaves;
    std::mt19937 random(2024); // fixed seed: the same kill moments every run
    const auto deadline = std::chrono::steady_clock::now() + timeBudget;
    float best = parseWhole(readFile(highScoreFile)).value_or(0);
    int killed = 0;
    int rounds = 0;
    for (; rounds < kills && std::chrono::steady_clock::now() < deadline; ++rounds) {
        killed += killASaver(best + 1, random, longestDelay);
        const std::string text = readFile(highScoreFile);
        const std::optional<float> value = parseWhole(text);
        ASSERT_TRUE(value) << "after kill " << rounds << " the file holds \"" << text << "\"";
        ASSERT_GE(*value, best);
        best = *value;
    }
    std::cout << "killed " << killed << " savers in " << rounds << " rounds, up to "
              << longestDelay.count() << " us into saving; the file reached " << best << "\n";
    EXPECT_GE(killed, fewestKills);
}
