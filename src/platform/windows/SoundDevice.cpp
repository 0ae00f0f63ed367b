#include "platform/SoundDevice.h"

#include <stdlib.h>

#include "platform/SoundDeviceSides.h"

namespace platform::sound {

namespace {
constexpr const char* logLevel = "ALSOFT_LOGLEVEL";
}

Failure openQuietly(const std::function<void()>& openDevice)
{
    // A windowed program's standard error is the game's log: OpenAL Soft,
    // which writes its complaints there, is told to keep them, unless the
    // player asks for them. It reads the setting from the C runtime it
    // shares with the game when first called.
    if (!getenv(logLevel))
        _putenv_s(logLevel, "0");
    return openIfThere(openDevice);
}

} // namespace platform::sound
