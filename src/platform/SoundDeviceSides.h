#pragma once

// What both sides of the sound device share; not for the game.

#include <functional>

#include "platform/Failure.h"

namespace platform::sound {

// Where the default device opens, runs `openDevice` with SFML's error
// stream silenced; fails, without running it, where none opens. Each side
// keeps the sound libraries' own messages away around it.
Failure openIfThere(const std::function<void()>& openDevice);

} // namespace platform::sound
