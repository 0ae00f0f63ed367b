#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <sstream>

#include "platform/GameClock.h"
#include "StopWatch.h"

namespace hooks = platform::testhooks;

namespace {

// Hours, minutes, seconds, hundredths.
using Split = std::array<int, 4>;

Split splitOf(const Stopwatch& watch)
{
    return {watch.iHour, watch.iMinute, watch.iSecond, watch.iMilliSecond};
}

std::string displayed(Stopwatch& watch)
{
    std::ostringstream captured;
    std::streambuf* const previous = std::cout.rdbuf(captured.rdbuf());
    watch.display();
    std::cout.rdbuf(previous);
    return captured.str();
}

} // namespace

TEST(StopwatchSplit, SplitsSecondsIntoTheFourFields)
{
    const struct {
        double total;
        Split split;
    } cases[] = {{0, {0, 0, 0, 0}},       {59.999, {0, 0, 59, 99}}, {60.0, {0, 1, 0, 0}},
                 {3600.5, {1, 0, 0, 50}}, {3725.5, {1, 2, 5, 50}},  {90061.25, {25, 1, 1, 25}}};
    for (const auto& c : cases) {
        Stopwatch watch;
        watch.modTime(c.total);
        EXPECT_EQ(splitOf(watch), c.split) << c.total;
    }
}

TEST(StopwatchDisplay, PrintsPlainNumbersWithColons)
{
    Stopwatch fresh;
    EXPECT_EQ(displayed(fresh), "0:0:0:0\n");
    Stopwatch stopped;
    stopped.dTotalTime = 3725.5;
    EXPECT_EQ(displayed(stopped), "1:2:5:50\n");
}

TEST(StopwatchStates, NewWatchIsStoppedAtZero)
{
    const Stopwatch watch;
    EXPECT_EQ(watch.status, Stopwatch::STOPPED);
    EXPECT_EQ(splitOf(watch), (Split{0, 0, 0, 0}));
    EXPECT_EQ(watch.dTempTime, 0);
    EXPECT_EQ(watch.dTotalTime, 0);
}

TEST(StopwatchStates, MeasuresOnTheGameClockWhileStarted)
{
    hooks::pinClock(10000);
    Stopwatch watch;
    EXPECT_EQ(watch.getProcessTime(), 10.0);
    watch.start();
    EXPECT_EQ(watch.status, Stopwatch::STARTED);
    EXPECT_EQ(watch.dTempTime, 10.0);
    hooks::advanceClock(2500);
    EXPECT_EQ(displayed(watch), "0:0:2:50\n");
    EXPECT_EQ(watch.dTotalTime, 2.5);
}

TEST(StopwatchStates, StopKeepsTheLastMeasuredTotal)
{
    hooks::pinClock(0);
    Stopwatch watch;
    watch.start();
    hooks::advanceClock(1500);
    watch.calcTime();
    hooks::advanceClock(4000); // passes after the last measurement: not counted
    watch.stop();
    EXPECT_EQ(watch.status, Stopwatch::STOPPED);
    watch.calcTime();
    EXPECT_EQ(watch.dTotalTime, 1.5);
    watch.start();
    hooks::advanceClock(700);
    watch.stop();
    watch.calcTime();
    EXPECT_EQ(watch.dTotalTime, 1.5);
}

TEST(StopwatchStates, ResetZeroesAndTheNextStartBeginsAfresh)
{
    hooks::pinClock(3000);
    Stopwatch watch;
    watch.start();
    hooks::advanceClock(4250);
    watch.calcTime();
    watch.reset();
    EXPECT_EQ(watch.status, Stopwatch::RESET);
    EXPECT_EQ(displayed(watch), "0:0:0:0\n");
    EXPECT_EQ(watch.dTempTime, 4.25);
    EXPECT_EQ(watch.dTotalTime, 0);
    watch.start();
    hooks::advanceClock(500);
    EXPECT_EQ(displayed(watch), "0:0:0:50\n");
}
