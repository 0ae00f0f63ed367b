// The window front end: plays one game of Quasaril from the splash screen on,
// in the player's own directory, which keeps "HighScore.txt".

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "GameFiles.h"
#include "GameSound.h"
#include "platform/Display.h"
#include "platform/ErrorFilter.h"
#include "platform/GameEnd.h"
#include "platform/Messages.h"
#include "platform/PlayerDirectory.h"
#include "Quasaril.h"

namespace {

// The status of a game ended by closing its window, or any other way the
// player ends it.
constexpr int endedStatus = EXIT_SUCCESS;

// Everything the game reads by name from its working directory.
const std::vector<std::string> gameFiles(std::begin(gamefiles::all), std::end(gamefiles::all));

// The game's objects open the display as they are built, before main, and
// SFML aborts the process when it cannot: without a desktop, say so and stop
// first (priority 101 runs before every one of them is built).
__attribute__((constructor(101))) void requireDisplay()
{
    if (const platform::Failure none = platform::display::forGame()) {
        // Where even that cannot be said, the status alone tells it.
        static_cast<void>(platform::messages::sayStop("quasaril: " + none.what()));
        std::exit(EXIT_FAILURE);
    }
}

} // namespace

int main()
{
    // Before the play directory is made, so a stop at any moment removes it.
    const platform::Failure uncaught = platform::gameend::endOnStopSignals(endedStatus);
    namespace playerdir = platform::playerdir;
    // Where they are not found, the game reads its files where it plays and
    // says which are missing.
    std::filesystem::path files;
    if (playerdir::gameFilesDirectory(gameFiles, files))
        files.clear();
    const playerdir::PlayDirectory playDirectory(files, gameFiles);
    // Where no log can be made the game still plays: it has nowhere to say so.
    static_cast<void>(platform::messages::keepIn(playDirectory.lasting()));
    // Said once the messages have their place, which may be in that directory.
    if (uncaught)
        std::fprintf(stderr, "quasaril: %s\n", uncaught.what().c_str());
    for (const platform::Failure& complaint : playDirectory.complaints())
        std::fprintf(stderr, "quasaril: %s\n", complaint.what().c_str());
    platform::errorstream::filterSfmlErrors();
    if (const platform::Failure silent = gamesound::enable())
        std::fprintf(stderr, "quasaril: %s\n", silent.what().c_str());
    Quasaril::Run();
    return endedStatus;
}
