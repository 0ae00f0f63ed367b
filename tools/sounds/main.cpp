// make_sounds: makes every sound the game plays and writes them as WAV
// files into the directory named on the command line. Everything comes from
// the synthesiser's tones, noise and envelopes, with fixed-seed noise, so
// every build writes the same files.
//
//   make_sounds OUTPUT_DIRECTORY

#include "GameFiles.h"
#include "effects.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

using namespace sounds;

struct Sound {
    const char* name;
    Samples (*make)();
};

// The game's sounds, by the names it reads them by.
constexpr Sound gameSounds[] = {
    {gamefiles::shotSound, playerShot},   {gamefiles::enemyShotSound, enemyShot},
    {gamefiles::brainHitSound, brainHit}, {gamefiles::shipHitSound, shipHit},
    {gamefiles::powerUpSound, powerUp},   {gamefiles::winSound, win},
    {gamefiles::clickSound, menuClick},
};

// The table above makes each sound of the game's list, and nothing else.
constexpr bool makesTheGamesList()
{
    for (const char* name : gamefiles::sounds) {
        bool made = false;
        for (const Sound& sound : gameSounds)
            made = made || std::string_view(sound.name) == name;
        if (!made)
            return false;
    }
    return std::size(gameSounds) == std::size(gamefiles::sounds);
}
static_assert(makesTheGamesList(), "every sound of cmake/GameFiles.cmake needs a recipe");

bool save(const Samples& samples, const std::string& directory, const std::string& name)
{
    std::ofstream file(directory + "/" + name, std::ios::binary);
    file << waveFile(samples);
    if (file.flush())
        return true;
    std::cerr << "make_sounds: cannot write " << name << "\n";
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_sounds OUTPUT_DIRECTORY\n";
        return 2;
    }
    for (const Sound& sound : gameSounds)
        if (!save(sound.make(), argv[1], sound.name))
            return 1;
    return 0;
}
