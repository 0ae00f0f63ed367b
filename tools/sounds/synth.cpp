#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sounds {

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double fadeSeconds = 0.005;
// Loudness as the root mean square of the samples, and the peak's bound:
// half of full scale, 6 dB below it.
constexpr double sharedLoudness = 0.12;
constexpr double peakBound = 0.5;

std::size_t samplesFor(double seconds)
{
    return static_cast<std::size_t>(std::lround(seconds * sampleRate));
}

// One cycle of the wave at `phase` (0 to 1).
double waveAt(Wave wave, double phase)
{
    switch (wave) {
    case Wave::sine:
        return std::sin(2.0 * pi * phase);
    case Wave::triangle:
        return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
    case Wave::square:
        return phase < 0.5 ? 1.0 : -1.0;
    }
    return 0.0;
}

// Glides evenly in pitch: equal steps of time, equal ratios of frequency.
double glide(double from, double to, double share)
{
    return from * std::pow(to / from, share);
}

void put16(std::string& bytes, std::uint16_t value)
{
    bytes += static_cast<char>(value & 0xff);
    bytes += static_cast<char>(value >> 8);
}

void put32(std::string& bytes, std::uint32_t value)
{
    put16(bytes, static_cast<std::uint16_t>(value & 0xffff));
    put16(bytes, static_cast<std::uint16_t>(value >> 16));
}

} // namespace

Samples tone(Wave wave, double from, double to, double seconds)
{
    Samples samples(samplesFor(seconds));
    double phase = 0.0;
    for (std::size_t n = 0; n < samples.size(); ++n) {
        samples[n] = waveAt(wave, phase);
        phase += glide(from, to, double(n) / samples.size()) / sampleRate;
        phase -= std::floor(phase);
    }
    return samples;
}

Samples noise(double seconds, unsigned seed)
{
    Samples samples(samplesFor(seconds));
    std::uint32_t state = seed ? seed : 1u; // xorshift: never all zeros
    for (double& sample : samples) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        sample = state / 2147483647.5 - 1.0;
    }
    return samples;
}

void envelope(Samples& samples, double attack, double halfLife)
{
    const std::size_t rise = samplesFor(attack);
    const std::size_t fade = std::min(samplesFor(fadeSeconds), samples.size());
    for (std::size_t n = 0; n < samples.size(); ++n) {
        const double seconds = double(n) / sampleRate;
        double level = n < rise ? double(n) / rise : std::exp2(-(seconds - attack) / halfLife);
        const std::size_t left = samples.size() - n;
        if (left < fade)
            level *= double(left) / fade;
        samples[n] *= level;
    }
}

void lowPass(Samples& samples, double from, double to)
{
    double last = 0.0;
    for (std::size_t n = 0; n < samples.size(); ++n) {
        const double cutoff = glide(from, to, double(n) / samples.size());
        const double share = 1.0 - std::exp(-2.0 * pi * cutoff / sampleRate);
        last += share * (samples[n] - last);
        samples[n] = last;
    }
}

void mix(Samples& samples, const Samples& other, double gain)
{
    if (samples.size() < other.size())
        samples.resize(other.size(), 0.0);
    for (std::size_t n = 0; n < other.size(); ++n)
        samples[n] += gain * other[n];
}

void append(Samples& samples, const Samples& other)
{
    samples.insert(samples.end(), other.begin(), other.end());
}

void balance(Samples& samples)
{
    double power = 0.0, peak = 0.0;
    for (const double sample : samples) {
        power += sample * sample;
        peak = std::max(peak, std::fabs(sample));
    }
    if (peak == 0.0)
        return;
    const double loudness = std::sqrt(power / samples.size());
    const double gain = std::min(sharedLoudness / loudness, peakBound / peak);
    for (double& sample : samples)
        sample *= gain;
}

std::string waveFile(const Samples& samples)
{
    constexpr std::uint16_t pcm = 1, channels = 1, bytesPerSample = 2;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * bytesPerSample);
    std::string bytes = "RIFF";
    put32(bytes, 36 + dataBytes);
    bytes += "WAVEfmt ";
    put32(bytes, 16);
    put16(bytes, pcm);
    put16(bytes, channels);
    put32(bytes, sampleRate);
    put32(bytes, sampleRate * bytesPerSample);
    put16(bytes, bytesPerSample);
    put16(bytes, 8 * bytesPerSample);
    bytes += "data";
    put32(bytes, dataBytes);
    for (const double sample : samples) {
        const long level = std::lround(std::clamp(sample, -1.0, 1.0) * 32767.0);
        put16(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(level)));
    }
    return bytes;
}

} // namespace sounds
