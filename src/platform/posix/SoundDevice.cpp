#include "platform/SoundDevice.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/SoundDeviceSides.h"

namespace platform::sound {

namespace {

// ALSA and OpenAL Soft write straight to the process's standard error, not
// through any stream of ours: it points at /dev/null while the object lives.
class QuietStandardError {
public:
    QuietStandardError() : _saved(dup(STDERR_FILENO))
    {
        const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere >= 0) {
            dup2(nowhere, STDERR_FILENO);
            close(nowhere);
        }
    }
    ~QuietStandardError()
    {
        if (_saved >= 0) {
            dup2(_saved, STDERR_FILENO);
            close(_saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    const int _saved;
};

} // namespace

Failure openQuietly(const std::function<void()>& openDevice)
{
    const QuietStandardError quiet;
    return openIfThere(openDevice);
}

} // namespace platform::sound
