// The window front end: plays one game of Quasaril from the splash screen on.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "Platform.h"
#include "Quasaril.h"

namespace fs = std::filesystem;

namespace {

// Everything the game reads by name from its working directory.
const char* const gameFiles[] = {
    "SpaceShip3.png", "Projectile3.png",   "bolt.png",        "virus2.png",
    "brain.png",      "brain_freeze3.png", "brain_fire3.png", "brain_Projectile1.png",
    "explode1.png",   "powerup.png",       "bubble2.png",     "SplashScreen1.png",
    "space2.png",     "mainmenu.png",      "Arial.ttf",
};

bool holdsGameFiles(const fs::path& directory)
{
    std::error_code ignored;
    for (const char* name : gameFiles)
        if (!fs::exists(directory / name, ignored))
            return false;
    return true;
}

// Started from elsewhere (a desktop, another directory), the game moves next to
// its own files, so that it finds them and keeps "HighScore.txt" beside them.
void moveBesideGameFiles()
{
    std::error_code failed;
    if (holdsGameFiles(fs::current_path(failed)))
        return;
    const fs::path home = fs::read_symlink("/proc/self/exe", failed).parent_path();
    if (!failed && holdsGameFiles(home))
        fs::current_path(home, failed);
}

} // namespace

int main()
{
    moveBesideGameFiles();
    Quasaril::Run();
    return 0;
}

namespace {

// The game's objects open the X display as they are built, before main, and
// SFML aborts the process when it cannot: without a desktop, say so and stop
// first (priority 101 runs before every one of them is built).
__attribute__((constructor(101))) void requireDisplay()
{
    if (platform::xdisplay::usable())
        return;
    std::fprintf(stderr,
                 "quasaril-play: the game needs a desktop: no X display could be opened (%s)\n",
                 platform::xdisplay::setting().c_str());
    std::exit(EXIT_FAILURE);
}

} // namespace
