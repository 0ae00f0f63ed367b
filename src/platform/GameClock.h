#pragma once

// The game's clock and dice. Every time reading and every random draw of the
// game goes through here, so a game plays the same on every machine. Nothing
// here can fail: a monotonic clock and arithmetic.

namespace platform {

// Milliseconds elapsed since the process started, read from a monotonic clock.
// The game treats it as a tick counter at 1000 ticks per second. The spans
// the player spent paused are left out: the clock stands still from
// stopClock to runClock, and goes on from where it stood.
long gameClock();

// The player's pause: the clock stops, and runs again. A second stop while
// stopped, or a run while running, changes nothing.
void stopClock();
void runClock();

// The game's one random sequence, never seeded: 0 to 32767 per draw, the same
// sequence in every process (41, 18467, 6334, 26500, 19169, ...).
int gameRand();

// Test hooks. The game itself never calls these.
namespace testhooks {
// The time since start-up reads this until released, less any paused spans.
void pinClock(long milliseconds);
void advanceClock(long milliseconds); // moves a pinned clock forward
void releaseClock();                  // back to the real monotonic clock
void restartRandom();                 // gameRand() starts its sequence again
} // namespace testhooks

} // namespace platform
