// The window front end: plays one game of Quasaril from the splash screen on,
// in the player's own directory, which keeps "HighScore.txt".

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "GameFiles.h"
#include "platform/ErrorFilter.h"
#include "platform/GameEnd.h"
#include "platform/PlayerDirectory.h"
#include "platform/XDisplay.h"
#include "Quasaril.h"

namespace {

// The status of a game ended by closing its window, or any other way the
// player ends it.
constexpr int endedStatus = EXIT_SUCCESS;

// Everything the game reads by name from its working directory.
const std::vector<std::string> gameFiles(std::begin(gamefiles::all), std::end(gamefiles::all));

// The game's objects open the X display as they are built, before main, and
// SFML aborts the process when it cannot: without a desktop, say so and stop
// first (priority 101 runs before every one of them is built).
__attribute__((constructor(101))) void requireDisplay()
{
    if (platform::xdisplay::usable())
        return;
    std::fprintf(stderr, "quasaril: the game needs a desktop: no X display could be opened (%s)\n",
                 platform::xdisplay::setting().c_str());
    std::exit(EXIT_FAILURE);
}

} // namespace

int main()
{
    platform::errorstream::filterSfmlErrors();
    // Before the play directory is made, so a stop at any moment removes it.
    platform::gameend::endOnStopSignals(endedStatus);
    namespace playerdir = platform::playerdir;
    const playerdir::PlayDirectory playDirectory(
        playerdir::gameFilesDirectory(playerdir::executableDirectory(), gameFiles), gameFiles,
        std::cerr);
    Quasaril::Run();
    return endedStatus;
}
