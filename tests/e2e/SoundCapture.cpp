#include "SoundCapture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

namespace e2e {

namespace {

// Waits until the writer has written the given seconds past a frame.
bool capturedPast(const fs::path& file, std::size_t frame, double seconds)
{
    return pollUntil(scaled(Seconds(10) + Seconds(seconds)), [&] {
        const Capture capture = readCapture(file);
        return capture.rate > 0 && capture.frames() >= frame + std::size_t(seconds * capture.rate);
    });
}

// Waits until the writer's latest seconds are silent.
bool capturedSilence(const fs::path& file, double seconds, float silent)
{
    return pollUntil(scaled(Seconds(20)), [&] {
        const Capture capture = readCapture(file);
        const auto frames = std::size_t(seconds * capture.rate);
        return capture.rate > 0 && capture.frames() >= frames &&
               capture.peakFrom(capture.frames() - frames) < silent;
    });
}

} // namespace

float Capture::peakFrom(std::size_t frame) const
{
    float loudest = 0;
    for (std::size_t n = frame * channels; n < samples.size(); ++n)
        loudest = std::max(loudest, std::fabs(samples[n]));
    return loudest;
}

// The fmt chunk comes first, then the data chunk, whose size the writer
// fills in only when it closes the file: until then the samples run to the
// end. Empty before the header is written, and for any format but 32-bit
// float samples, plain or extensible.
Capture readCapture(const fs::path& file)
{
    constexpr std::uint16_t floatFormat = 3, extensibleFormat = 0xfffe;
    const std::string bytes = readFile(file);
    const std::size_t data = bytes.find("data", 12);
    const auto format = numberAt<std::uint16_t>(bytes, 20);
    // An extensible format names its sample type in its first two bytes.
    const auto sampleType =
        format == extensibleFormat ? numberAt<std::uint16_t>(bytes, 44) : format;
    Capture capture;
    if (bytes.compare(0, 4, "RIFF") != 0 || data == std::string::npos ||
        sampleType != floatFormat || numberAt<std::uint16_t>(bytes, 34) != 32)
        return capture;
    capture.channels = numberAt<std::uint16_t>(bytes, 22);
    capture.rate = numberAt<std::uint32_t>(bytes, 24);
    capture.samples.resize((bytes.size() - data - 8) / sizeof(float));
    std::memcpy(capture.samples.data(), bytes.data() + data + 8,
                capture.samples.size() * sizeof(float));
    return capture;
}

void writeWaveSettings(const fs::path& settings, const std::string& capture)
{
    std::ofstream(settings) << "[wave]\nfile = " << capture << '\n';
}

// Within its first 15 seconds no brain fires, so once the menu's click has
// faded, the sound after Space is the player's shot. Space is pressed until
// the shot goes (a key just after the click into play can go unheeded), and
// after M three times, a second of capture apart: the ship fires again 1.5
// seconds after its last shot, so one of them fires.
testing::AssertionResult shotSoundsAndMSilencesIt(const GameWindow& window, const fs::path& capture)
{
    constexpr double quietSpan = 0.5, pressSpan = 1; // seconds of capture
    constexpr int mutedPresses = 3;
    constexpr float loud = 0.05f, silent = 0.001f;
    if (!capturedPast(capture, 0, quietSpan))
        return testing::AssertionFailure() << "the game opened no sound device";
    if (!capturedSilence(capture, quietSpan, silent))
        return testing::AssertionFailure() << "no silence in play";
    const std::size_t beforeShot = readCapture(capture).frames();
    if (!pollUntil(scaled(Seconds(10)), [&] {
            window.key("space");
            return pollUntil(Seconds(pressSpan),
                             [&] { return readCapture(capture).peakFrom(beforeShot) > loud; });
        }))
        return testing::AssertionFailure() << "no sound for the shot";
    if (!capturedSilence(capture, quietSpan, silent))
        return testing::AssertionFailure() << "the shot's sound goes on";

    const std::size_t beforeMute = readCapture(capture).frames();
    window.key("m");
    for (int press = 0; press < mutedPresses; ++press) {
        window.key("space");
        if (!capturedPast(capture, readCapture(capture).frames(), pressSpan))
            return testing::AssertionFailure() << "the wave writer stopped";
    }
    const float afterMute = readCapture(capture).peakFrom(beforeMute);
    if (afterMute >= silent)
        return testing::AssertionFailure() << "a sound after M, peak " << afterMute;
    return testing::AssertionSuccess();
}

std::size_t soundLines(const std::string& text)
{
    const std::regex aboutSound("sound|audio|openal|alsa", std::regex::icase);
    std::istringstream lines(text);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line);)
        count += std::regex_search(line, aboutSound);
    return count;
}

} // namespace e2e
