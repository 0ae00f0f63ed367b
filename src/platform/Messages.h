#pragma once

// Where what the game says reaches the player: a missing picture, a failed
// save, the temporary directory it plays from.

#include <filesystem>
#include <string>

#include "platform/Failure.h"

namespace platform::messages {

// The most a log file holds; what comes after is left out, said in one line.
constexpr long logLimit = 64 * 1024;

// From now on, what the game writes on standard error (SFML's error stream
// included) goes where the player can find it: on a POSIX system, standard
// error as it is; on Windows, where a windowed program has none, the file
// quasaril.log in `directory`, started afresh, at most logLimit bytes (in
// the temporary directory where `directory`'s drive has little room or the
// log cannot be made there). Fails where no log can be made.
Failure keepIn(const std::filesystem::path& directory);

// Says why the game stops before its window opens: on standard error, and
// on Windows in a message box too. Fails where the player could be told
// nowhere.
Failure sayStop(const std::string& line);

} // namespace platform::messages
