#include "platform/SoundDevice.h"

#include <AL/alc.h>

#include "platform/ErrorFilter.h"
#include "platform/SoundDeviceSides.h"

namespace platform::sound {

namespace {

// Opens the default device and closes it again: true where one opens.
bool defaultDeviceOpens()
{
    ALCdevice* const device = alcOpenDevice(nullptr);
    if (!device)
        return false;
    alcCloseDevice(device);
    return true;
}

} // namespace

Failure openIfThere(const std::function<void()>& openDevice)
{
    const errorstream::SfmlSilence sfmlQuiet;
    if (!defaultDeviceOpens())
        return Failure("no sound device could be opened; the game plays without sound");
    openDevice();
    return {};
}

} // namespace platform::sound
