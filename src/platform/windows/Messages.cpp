#include "platform/Messages.h"

#include <SFML/System/Err.hpp>
#include <cerrno>
#include <cstdio>
#include <system_error>
#include <streambuf>
#include <windows.h>

#include "platform/windows/SystemText.h"

// A windowed Windows program has no standard error: the game's messages go
// to a log file in the player's directory, and a stop before the window
// opens shows a message box too.
namespace platform::messages {
namespace {

constexpr const wchar_t* logName = L"quasaril.log";
constexpr const wchar_t* boxTitle = L"Quasaril";
// Less room than this left on the drive, and a full log would not fit, nor
// perhaps the next score: the log is then kept in the temporary directory.
constexpr ULONGLONG leastRoom = 2 * logLimit;

// Passes text on until logLimit bytes have gone through, then says once
// that the rest is left out. SFML repeats a missing picture's error in every
// frame; the repeats are summarised (ErrorFilter.h), but their summaries
// would still grow the log for as long as the game runs.
class LimitedBuffer : public std::streambuf {
public:
    explicit LimitedBuffer(std::streambuf* out) : _out(out) {}

protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char one = traits_type::to_char_type(c);
            xsputn(&one, 1);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        const std::streamsize room = logLimit - _passed;
        if (room > 0)
            _out->sputn(text, std::min(room, count));
        if (room > 0 && count >= room)
            _out->sputn(leftOut, sizeof leftOut - 1);
        _passed += count;
        return count;
    }
    int sync() override { return _out->pubsync(); }

private:
    static constexpr char leftOut[] =
        "\nquasaril: the log ends here; later messages are left out\n";
    std::streambuf* const _out;
    long long _passed = 0;
};

// Where the log can be written to its end: `directory`, or, on a drive with
// little room left, the temporary directory, with a line that says why.
std::filesystem::path logPlace(const std::filesystem::path& directory, std::string& why)
{
    ULARGE_INTEGER room{};
    std::error_code failed;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(failed);
    if (failed || !GetDiskFreeSpaceExW(directory.c_str(), &room, nullptr, nullptr) ||
        room.QuadPart >= leastRoom)
        return directory;
    why = "quasaril: only " + std::to_string(room.QuadPart) + " bytes are free for " +
          directory.u8string() +
          ", too few for this log and perhaps for the high score: the log is kept here\n";
    return temporary;
}

} // namespace

Failure keepIn(const std::filesystem::path& directory)
{
    std::string why;
    const std::filesystem::path log = logPlace(directory, why) / logName;
    if (!_wfreopen(log.c_str(), L"w", stderr)) {
        const Failure failed =
            Failure::of("make " + log.u8string(), std::error_code(errno, std::generic_category()));
        std::error_code unknown;
        const std::filesystem::path elsewhere =
            std::filesystem::temp_directory_path(unknown) / logName;
        if (unknown || elsewhere == log || !_wfreopen(elsewhere.c_str(), L"w", stderr))
            return failed;
        why = "quasaril: " + failed.what() + ": the log is kept here\n";
    }
    // Unbuffered, as standard error is: a game that is ended keeps its words.
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    std::fputs(why.c_str(), stderr);
    static LimitedBuffer limited(sf::err().rdbuf());
    sf::err().rdbuf(&limited);
    return {};
}

// The log may be where nobody looks: the box is what a player sees.
Failure sayStop(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    if (!MessageBoxW(nullptr, std::filesystem::u8path(line).c_str(), boxTitle,
                     MB_OK | MB_ICONERROR))
        return windows::lastError("show a message box");
    return {};
}

} // namespace platform::messages
