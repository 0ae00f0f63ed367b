#include "platform/GameClock.h"

#include <chrono>
#include <cstdint>

namespace platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

SteadyClock::time_point processStart()
{
    static const SteadyClock::time_point start = SteadyClock::now();
    return start;
}

// Take the start reading during static initialisation, not at the first call.
const SteadyClock::time_point startTakenAtLoad = processStart();

bool clockPinned = false;
long pinnedReading = 0;

// The player's pause: when the clock stopped, and how long it has stood
// still before, in all.
bool clockStopped = false;
long stoppedAt = 0;
long stoppedInAll = 0;

long sinceStart()
{
    if (clockPinned)
        return pinnedReading;
    const auto elapsed = SteadyClock::now() - processStart();
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

// A linear congruential generator with the constants of the classic C library
// rand(): the game's sequence is the one an unseeded rand() gives there.
constexpr std::uint32_t randomSeed = 1;
constexpr std::uint32_t randomMultiplier = 214013;
constexpr std::uint32_t randomIncrement = 2531011;
std::uint32_t randomState = randomSeed;

} // namespace

long gameClock()
{
    return (clockStopped ? stoppedAt : sinceStart()) - stoppedInAll;
}

void stopClock()
{
    if (clockStopped)
        return;
    stoppedAt = sinceStart();
    clockStopped = true;
}

void runClock()
{
    if (!clockStopped)
        return;
    stoppedInAll += sinceStart() - stoppedAt;
    clockStopped = false;
}

int gameRand()
{
    randomState = randomState * randomMultiplier + randomIncrement;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

namespace testhooks {

void pinClock(long milliseconds)
{
    clockPinned = true;
    pinnedReading = milliseconds;
}

void advanceClock(long milliseconds)
{
    pinnedReading += milliseconds;
}

void releaseClock()
{
    clockPinned = false;
}

void restartRandom()
{
    randomState = randomSeed;
}

} // namespace testhooks
} // namespace platform
