#pragma once

// The game's sound as OpenAL Soft's wave writer captures it: with
// ALSOFT_DRIVERS=wave and ALSOFT_CONF naming a file that holds "[wave]" and
// "file = PATH", the library plays into the WAV file PATH instead of a
// device. Plain C++ on the files, for the game on Linux and under Wine alike.

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "Desktop.h"

namespace e2e {

// What the writer has written so far, as 32-bit float samples.
struct Capture {
    unsigned rate = 0;
    unsigned channels = 0;
    std::vector<float> samples; // interleaved

    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    // The loudest sample from a frame on.
    float peakFrom(std::size_t frame) const;
};

Capture readCapture(const std::filesystem::path& file);

// Writes the wave writer's settings, sending what is played to `capture`
// as the program names it.
void writeWaveSettings(const std::filesystem::path& settings, const std::string& capture);

// The game in play, its sound captured in the file: after Space, the
// shot's sound; after M, silence however often Space fires.
testing::AssertionResult shotSoundsAndMSilencesIt(const GameWindow& window,
                                                  const std::filesystem::path& capture);

// The lines of a text that speak of sound.
std::size_t soundLines(const std::string& text);

} // namespace e2e
