#pragma once

// What both sides of the sound device share; not for the game.

#include "platform/Failure.h"

namespace platform::sound {

// Opens the default device and closes it again: true where one opens.
bool defaultDeviceOpens();

// The one line a game without a device says.
Failure noDevice();

} // namespace platform::sound
