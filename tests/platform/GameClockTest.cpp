// The game's clock and dice.

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <set>
#include <thread>
#include <vector>

#include "platform/GameClock.h"

using platform::gameClock;
using platform::gameRand;
namespace hooks = platform::testhooks;

namespace {

constexpr int randomMax = 32767;

long steadyMilliseconds()
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count());
}

} // namespace

// Must stay the first draws of the process: ctest runs every case alone.
TEST(GameRandom, FreshProcessDrawsTheFixedSequence)
{
    for (int expected : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(gameRand(), expected);
}

TEST(GameRandom, RestartBeginsTheSequenceAgain)
{
    for (int i = 0; i < 1000; ++i)
        gameRand();
    hooks::restartRandom();
    EXPECT_EQ(gameRand(), 41);
    EXPECT_EQ(gameRand(), 18467);
}

TEST(GameRandom, DrawsCoverTheWholeRange)
{
    constexpr int draws = 100000;
    std::set<int> seen;
    for (int i = 0; i < draws; ++i) {
        const int value = gameRand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, randomMax);
        seen.insert(value);
    }
    // 100000 draws from 32768 equally likely values leave about 31200
    // distinct; a lost bit would halve that.
    EXPECT_GT(seen.size(), 30000u);
    EXPECT_LT(*seen.begin(), 100);
    EXPECT_GT(*seen.rbegin(), randomMax - 100);
}

TEST(GameClock, CountsRealMillisecondsWhileTheProcessSleeps)
{
    constexpr long sleepMs = 60;
    constexpr long slackMs = 2;
    const long steadyBefore = steadyMilliseconds();
    const long clockBefore = gameClock();
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    const long clockAfter = gameClock();
    const long steadyAfter = steadyMilliseconds();
    EXPECT_GE(clockAfter - clockBefore, sleepMs - slackMs);
    EXPECT_LE(clockAfter - clockBefore, steadyAfter - steadyBefore + slackMs);
}

TEST(GameClock, StartsNearZeroAndNeverGoesBack)
{
    constexpr long generousStartupMs = 30000;
    long previous = gameClock();
    EXPECT_GE(previous, 0);
    EXPECT_LT(previous, generousStartupMs);
    for (int i = 0; i < 200000; ++i) {
        const long now = gameClock();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(GameClock, PinnedReadingHoldsAndAdvancesOnlyByHand)
{
    hooks::pinClock(5000);
    EXPECT_EQ(gameClock(), 5000);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(gameClock(), 5000);
    hooks::advanceClock(250);
    EXPECT_EQ(gameClock(), 5250);
    hooks::advanceClock(0);
    EXPECT_EQ(gameClock(), 5250);
    hooks::releaseClock(); // the cases after this one, in one process, read the real clock
}

TEST(GameClock, ReleaseReturnsToTheRealClock)
{
    const long before = gameClock();
    hooks::pinClock(100000000);
    hooks::releaseClock();
    const long after = gameClock();
    EXPECT_GE(after, before);
    EXPECT_LT(after - before, 1000);
}

namespace {

// The time since start-up at first, then spans of it that pass, the clock
// stopping and running again in turn between two; what it reads after them.
struct PausedSpans {
    const char* name;
    long start;
    std::vector<long> spans; // running, paused, running, ...
    long reading;
};

void PrintTo(const PausedSpans& spans, std::ostream* out)
{
    *out << spans.name;
}

class GameClockPause : public ::testing::TestWithParam<PausedSpans> {
protected:
    void TearDown() override { hooks::releaseClock(); }
};

} // namespace

TEST_P(GameClockPause, LeavesThePausedSpansOut)
{
    hooks::pinClock(GetParam().start);
    const std::vector<long>& spans = GetParam().spans;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (i > 0)
            i % 2 ? platform::stopClock() : platform::runClock();
        hooks::advanceClock(spans[i]);
    }
    EXPECT_EQ(gameClock(), GetParam().reading);
}

INSTANTIATE_TEST_SUITE_P(
    Spans, GameClockPause,
    ::testing::Values(PausedSpans{"StandsWhileStopped", 1000, {200, 500}, 1200},
                      PausedSpans{"GoesOnWhereItStood", 1000, {200, 500, 300}, 1500},
                      PausedSpans{"SeveralPauses", 1000, {0, 100, 50, 400, 25, 7}, 1075},
                      PausedSpans{"APauseAtStartUp", 0, {0, 3000, 10}, 10}),
    [](const ::testing::TestParamInfo<PausedSpans>& info) { return info.param.name; });
