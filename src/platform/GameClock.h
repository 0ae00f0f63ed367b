#pragma once

// The game's clock and dice. Every time reading and every random draw of the
// game goes through here, so a game plays the same on every machine.

namespace platform {

// Milliseconds elapsed since the process started, read from a monotonic clock.
// The game treats it as a tick counter at 1000 ticks per second.
long gameClock();

// The game's one random sequence, never seeded: 0 to 32767 per draw, the same
// sequence in every process (41, 18467, 6334, 26500, 19169, ...).
int gameRand();

// Test hooks. The game itself never calls these.
namespace testhooks {
void pinClock(long milliseconds);     // gameClock() returns this until released
void advanceClock(long milliseconds); // moves a pinned clock forward
void releaseClock();                  // back to the real monotonic clock
void restartRandom();                 // gameRand() starts its sequence again
} // namespace testhooks

} // namespace platform
