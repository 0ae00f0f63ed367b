#pragma once

// The sound device, opened without a word from the sound libraries. On a
// machine without one (no card, no sound server, a container, a virtual X
// server, Wine without its drivers) ALSA and OpenAL Soft each print their
// own complaints, dozens of lines of them; the player is to read one, ours.

#include <functional>

#include "platform/Failure.h"

namespace platform::sound {

// Finds whether the default sound device opens, and if it does runs
// `openDevice`, which makes the game's first sound objects and with them the
// device they play on, while the sound libraries' own messages are kept from
// the player. Fails, without running it, where no device opens: the game
// then makes no sound object at all.
Failure openQuietly(const std::function<void()>& openDevice);

} // namespace platform::sound
