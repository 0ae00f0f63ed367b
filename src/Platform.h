#pragma once

// What the game needs of the machine, one section each: the clock and the
// dice, small text files, SFML's error stream, the player's directory and the
// X display.

#include <filesystem>
#include <fstream>
#include <iosfwd>
#include <map>
#include <ostream>
#include <streambuf>
#include <string>
#include <system_error>
#include <vector>

// ---------------------------------------------------------------------------
// The game's clock and dice. Every time reading and every random draw of the
// game goes through here, so a game plays the same on every machine.
namespace platform {

// Milliseconds elapsed since the process started, read from a monotonic clock.
// The game treats it as a tick counter at 1000 ticks per second.
long gameClock();

// The game's one random sequence, never seeded: 0 to 32767 per draw, the same
// sequence in every process (41, 18467, 6334, 26500, 19169, ...).
int gameRand();

// Test hooks. The game itself never calls these.
namespace testhooks {
void pinClock(long milliseconds);     // gameClock() returns this until released
void advanceClock(long milliseconds); // moves a pinned clock forward
void releaseClock();                  // back to the real monotonic clock
void restartRandom();                 // gameRand() starts its sequence again
} // namespace testhooks

} // namespace platform

// ---------------------------------------------------------------------------
// Small text files read and replaced whole: the high-score file.

namespace platform {
namespace files {

enum class Kind {
    missing,  // no such name (a dangling symbolic link included)
    regular,  // a regular file, read whole into `text`
    untouched // anything else, or a file that cannot be read: never read nor written
};

struct Contents {
    Kind kind;
    std::string text;
};

// Reads the file a name stands for, following symbolic links. Never blocks:
// a directory, named pipe, socket or device is reported untouched unread.
Contents readWhole(const char* name);

// Replaces the text of the regular file a name stands for, or creates it.
// Symbolic links are followed and stay links; a file that cannot be opened
// for writing, or that is not a regular file, is left as it is. The new text
// goes into a fresh draft beside the file, with the file's permission bits,
// which then takes the file's place: the file holds the old or the new text
// at every moment. Where no draft can be made (a read-only directory) the
// file is rewritten in place. Returns whether the text was written.
bool replaceWhole(const char* name, const std::string& text);

// A stream that truncates and writes the file, opened only where that cannot
// wait forever: on a regular file or a new one. On a named pipe, device or
// directory of that name the stream is not open and writes nothing.
std::ofstream openTruncated(const char* name);

} // namespace files
} // namespace platform

// ---------------------------------------------------------------------------
// SFML's error stream: repeats summarised.

namespace platform {
namespace errorstream {

// Sits between a stream and its buffer: each distinct line goes through the
// first time; its repeats are counted, and at most one line per
// summaryInterval milliseconds reports how many came since it last showed.
// Whatever is still counted is reported when the filter goes, and the stream
// gets its own buffer back.
class RepeatFilter : public std::streambuf {
public:
    static constexpr long summaryInterval = 5000;

    explicit RepeatFilter(std::ostream& stream);
    ~RepeatFilter() override;
    RepeatFilter(const RepeatFilter&) = delete;
    RepeatFilter& operator=(const RepeatFilter&) = delete;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    struct Seen {
        long lastShown;
        long repeats; // since it last showed
    };

    void take(char c);
    void lineEnded();
    void summarise(const std::string& line, Seen& seen, long now);
    void emit(const std::string& line);

    std::ostream& _stream;
    std::streambuf* const _out;
    std::string _line;
    std::map<std::string, Seen> _seen;
};

// Puts a RepeatFilter on SFML's error stream for the rest of the process: a
// picture missing from the working directory is retried in every frame, and
// SFML reports every failed try.
void filterSfmlErrors();

} // namespace errorstream
} // namespace platform

// ---------------------------------------------------------------------------
// The player's directory. The game reads every file by name from its working
// directory and keeps "HighScore.txt" there; the front end plays in a
// directory of the player's own that links to the game's files.

namespace platform::playerdir {

// The directory of the running executable; empty if it cannot be read.
std::filesystem::path executableDirectory();

// Where the game's files lie: beside the executable (a build's run
// directory), or, installed, in ../share/games/quasaril from it. The first
// that holds any of the named files; empty if neither does.
std::filesystem::path gameFilesDirectory(const std::filesystem::path& executableDirectory,
                                         const std::vector<std::string>& names);

// $XDG_DATA_HOME/quasaril, or ~/.local/share/quasaril when XDG_DATA_HOME is
// not an absolute path; empty when there is no home directory either.
std::filesystem::path playerDirectory();

// Makes `directory` hold a link to each named file that exists in `files`: a
// link that points right is left alone, anything else of that name replaced.
// Stops at the first failure and returns it; an empty code on success.
std::error_code linkFiles(const std::filesystem::path& files,
                          const std::filesystem::path& directory,
                          const std::vector<std::string>& names);

// The directory the game plays in, entered for the object's lifetime: the
// player's directory, made if needed and linked to the game's files. If that
// cannot be made, one line on `complaints` says so and where the score would
// have been kept, and a temporary directory, removed again at the end, is
// used instead.
class PlayDirectory {
public:
    PlayDirectory(const std::filesystem::path& gameFiles, const std::vector<std::string>& names,
                  std::ostream& complaints);
    ~PlayDirectory();
    PlayDirectory(const PlayDirectory&) = delete;
    PlayDirectory& operator=(const PlayDirectory&) = delete;

    const std::filesystem::path& path() const { return _path; }
    bool temporary() const { return _temporary; }

private:
    void enterTemporaryDirectory(const std::filesystem::path& gameFiles,
                                 const std::vector<std::string>& names);

    std::filesystem::path _path;
    bool _temporary = false;
};

} // namespace platform::playerdir

// ---------------------------------------------------------------------------
// X display
//
// SFML opens the X display as soon as the first window or picture object is
// built, which for the game is during static initialisation, and aborts the
// process when no display can be opened. The entry points ask here first,
// before any of the game's objects is built.

namespace platform {
namespace xdisplay {

// True when an X display can be opened with this process's DISPLAY. The
// first connection that succeeds stays open for the life of the process: a
// server that resets when its last client leaves (xvfb-run's does) would
// otherwise reset just as the game connects, and refuse it.
bool usable();

// DISPLAY's value for messages: `DISPLAY=":987"`, or `DISPLAY is not set`.
std::string setting();

enum class PrivateServer { Started, NotInstalled, FailedToStart };

// Starts a virtual X server (Xvfb, found on PATH) on a display number of its
// own choosing, not listening on the network and open only to this process,
// and makes it this process's display. The server ends with the process:
// stopped at a normal exit, and sent SIGTERM by the kernel should the process
// be killed.
PrivateServer startPrivateServer();

} // namespace xdisplay
} // namespace platform
