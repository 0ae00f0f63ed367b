#include "platform/SoundDevice.h"

#include <AL/alc.h>

#include "platform/SoundDeviceSides.h"

namespace platform::sound {

bool defaultDeviceOpens()
{
    ALCdevice* const device = alcOpenDevice(nullptr);
    if (!device)
        return false;
    alcCloseDevice(device);
    return true;
}

Failure noDevice()
{
    return Failure("no sound device could be opened; the game plays without sound");
}

} // namespace platform::sound
