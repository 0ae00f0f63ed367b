// The window front end: plays one game of Quasaril from the splash screen on,
// in the player's own directory, which keeps "HighScore.txt".

#include <iostream>
#include <string>
#include <vector>

#include "Platform.h"
#include "Quasaril.h"

namespace {

// Everything the game reads by name from its working directory.
const std::vector<std::string> gameFiles = {
    "SpaceShip3.png", "Projectile3.png",   "bolt.png",        "virus2.png",
    "brain.png",      "brain_freeze3.png", "brain_fire3.png", "brain_Projectile1.png",
    "explode1.png",   "powerup.png",       "bubble2.png",     "SplashScreen1.png",
    "space2.png",     "mainmenu.png",      "Arial.ttf",
};

} // namespace

int main()
{
    platform::errorstream::filterSfmlErrors();
    namespace playerdir = platform::playerdir;
    const playerdir::PlayDirectory playDirectory(
        playerdir::gameFilesDirectory(playerdir::executableDirectory(), gameFiles), gameFiles,
        std::cerr);
    Quasaril::Run();
    return 0;
}
