#pragma once

// The synthesiser's pieces: tones, noise, envelopes and a filter, on
// samples between -1 and 1 at one fixed rate. Everything is computed the
// same way on every run, the noise included: the same sounds every build.

#include <string>
#include <vector>

namespace sounds {

constexpr int sampleRate = 44100;

using Samples = std::vector<double>;

enum class Wave { sine, triangle, square };

// A tone whose pitch glides from `from` to `to` hertz (evenly in pitch,
// as the ear hears it) over its length.
Samples tone(Wave wave, double from, double to, double seconds);

// White noise from a fixed seed.
Samples noise(double seconds, unsigned seed);

// Shapes the sound's loudness: a rise over `attack` seconds, then a fall
// that halves it every `halfLife` seconds, and a short fade at the very
// end, so no sound starts or stops with a click.
void envelope(Samples& samples, double attack, double halfLife);

// Softens everything above the cutoff, which glides from `from` to `to`
// hertz over the sound: the higher partials of a square wave or of noise
// are what makes a sound shrill.
void lowPass(Samples& samples, double from, double to);

// Adds `other`, scaled, from the start of `samples`, lengthening it if need be.
void mix(Samples& samples, const Samples& other, double gain = 1.0);

// Appends `other` after `samples`.
void append(Samples& samples, const Samples& other);

// Scales the sound to the loudness every effect shares, its peak never
// above half of full scale.
void balance(Samples& samples);

// The sound as a WAV file: 16-bit PCM, one channel.
std::string waveFile(const Samples& samples);

} // namespace sounds
