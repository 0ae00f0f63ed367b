// The high-score file while savers are killed at random moments: it always
// holds a whole number, never a part of one or none. Each side starts and
// kills its savers its own way (ChildSave.h).

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <optional>
#include <random>
#include <thread>

#include "ChildSave.h"
#include "Score.h"
#include "TestSupport.h"

namespace {

const std::string highScoreFile = "HighScore.txt";

using Clock = std::chrono::steady_clock;
using Microseconds = std::chrono::microseconds;

Microseconds averageSaveTime()
{
    constexpr int saves = 20;
    Score score;
    const auto start = Clock::now();
    for (int i = 0; i < saves; ++i)
        score.SaveScore(static_cast<float>(i));
    return std::chrono::duration_cast<Microseconds>(Clock::now() - start) / saves;
}

// Whether the file came to hold at least `score` before the deadline.
bool savedBy(float score, Clock::time_point deadline)
{
    constexpr Microseconds poll(100);
    while (parseWhole(readFile(highScoreFile)).value_or(0) < score)
        if (Clock::now() < deadline)
            std::this_thread::sleep_for(poll);
        else
            return false;
    return true;
}

} // namespace

// Each saver is killed at a random moment of its first few saves, once the
// file shows that it has started saving.
TEST(HighScoreKill, FileAlwaysHoldsAValidNumber)
{
    const int fewestKills = saverKills * 2 / 3;
    constexpr int delayInSaves = 3;
    const auto timeBudget = std::chrono::seconds(60); // room for a busy machine
    const ScopedWorkDir dir;
    const Microseconds longestDelay = averageSaveTime() * delayInSaves;
    std::mt19937 random(2024); // fixed seed: the same kill moments every run
    std::uniform_int_distribution<long> delay(0, longestDelay.count());
    const auto deadline = Clock::now() + timeBudget;
    float best = parseWhole(readFile(highScoreFile)).value_or(0);
    int killed = 0;
    int rounds = 0;
    for (; rounds < saverKills && Clock::now() < deadline; ++rounds) {
        const std::intptr_t saver = startSaver(best + 1);
        ASSERT_NE(saver, 0) << "no saver started";
        const bool started = savedBy(best + 1, deadline);
        if (started)
            std::this_thread::sleep_for(Microseconds(delay(random)));
        killed += killSaver(saver);
        ASSERT_TRUE(started) << "the saver of round " << rounds << " never saved";
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
