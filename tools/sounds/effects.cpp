#include "effects.h"

#include <initializer_list>

namespace sounds {

namespace {

// A few notes one after another, each sounding for `seconds`, the last
// held `lastSeconds`.
Samples notes(Wave wave, std::initializer_list<double> pitches, double seconds, double lastSeconds)
{
    Samples tune;
    std::size_t left = pitches.size();
    for (const double pitch : pitches) {
        const double length = --left ? seconds : lastSeconds;
        Samples note = tone(wave, pitch, pitch, length);
        envelope(note, 0.004, length / 2);
        append(tune, note);
    }
    return tune;
}

} // namespace

// A quick falling "pew".
Samples playerShot()
{
    Samples shot = tone(Wave::square, 1200, 300, 0.15);
    lowPass(shot, 3500, 1500);
    envelope(shot, 0.003, 0.05);
    balance(shot);
    return shot;
}

// Lower and buzzier than the player's: two detuned tones falling together.
Samples enemyShot()
{
    Samples shot = tone(Wave::square, 420, 160, 0.25);
    mix(shot, tone(Wave::square, 630, 235, 0.25), 0.5);
    lowPass(shot, 2500, 800);
    envelope(shot, 0.005, 0.08);
    balance(shot);
    return shot;
}

// A short muffled thump: dull noise over a falling low tone.
Samples brainHit()
{
    Samples hit = noise(0.3, 0x5eed1u);
    lowPass(hit, 1500, 400);
    mix(hit, tone(Wave::sine, 180, 60, 0.3), 0.8);
    envelope(hit, 0.002, 0.06);
    balance(hit);
    return hit;
}

// A long falling explosion: noise darkening as it dies, with a low rumble.
Samples shipHit()
{
    Samples blast = noise(0.8, 0xb1a57u);
    lowPass(blast, 3000, 200);
    mix(blast, tone(Wave::sine, 90, 35, 0.8), 0.6);
    envelope(blast, 0.004, 0.18);
    balance(blast);
    return blast;
}

// A rising major arpeggio: C, E, G and the C above.
Samples powerUp()
{
    Samples rise = notes(Wave::triangle, {523.25, 659.26, 783.99, 1046.5}, 0.08, 0.16);
    lowPass(rise, 4000, 4000);
    balance(rise);
    return rise;
}

// A short fanfare: G, C, E, then G held.
Samples win()
{
    Samples fanfare = notes(Wave::square, {392.0, 523.25, 659.26, 783.99}, 0.11, 0.45);
    lowPass(fanfare, 2500, 2500);
    balance(fanfare);
    return fanfare;
}

// A soft tick.
Samples menuClick()
{
    Samples tick = tone(Wave::sine, 1000, 700, 0.05);
    Samples grain = noise(0.05, 0xc11c4u);
    lowPass(grain, 3000, 3000);
    mix(tick, grain, 0.3);
    envelope(tick, 0.001, 0.008);
    balance(tick);
    return tick;
}

} // namespace sounds
