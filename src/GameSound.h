#pragma once

// The game's sounds: a short effect for each moment a player should hear,
// read once from the game's sound files and held. Sound never changes a rule:
// every call here only starts or stops a sound. Until enable() has opened a
// sound device, and wherever none opens, every call is silent; the check
// program never enables it.

#include <SFML/Window/Event.hpp>

#include "platform/Failure.h"

namespace gamesound {

enum class Effect {
    shot,      // the player fires
    enemyShot, // a brain fires
    brainHit,  // a brain is struck
    shipHit,   // the ship is lost: "Game Over"
    powerUp,   // the power-up is taken
    win,       // every brain struck: "You Win!!!"
    click,     // a click on the menu
};

// Opens the sound device and reads the sound files. A file that cannot be
// read is said once, on SFML's error stream, and its effect stays silent.
// Fails where no device opens: the game then plays without sound.
platform::Failure enable();

// Starts the effect, from its beginning where it was already sounding: each
// effect has one voice, so a burst of shots is one shot's sound, repeated.
void play(Effect effect);

// Plays the effect the first time it is asked for in the process only: the
// ship is lost once, and the army beaten once, though the game repeats
// both for the rest of it.
void playOnce(Effect effect);

// M mutes, silencing what sounds, and M again unmutes. True for that key.
bool follow(const sf::Event& event);

} // namespace gamesound
