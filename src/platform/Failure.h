#pragma once

// How every platform module says that something could not be done: in words
// a player can read, naming what was tried and why it did not work. A
// default Failure means that nothing failed.

#include <string>
#include <system_error>
#include <utility>

namespace platform {

class Failure {
public:
    Failure() = default;
    explicit Failure(std::string what) : _what(std::move(what)) {}

    // "cannot <doing>: <the system's reason>", e.g. "cannot link
    // /home/ann/.local/share/quasaril/brain.png: Operation not permitted".
    static Failure of(const std::string& doing, const std::error_code& error)
    {
        return Failure("cannot " + doing + ": " + error.message());
    }

    // The system's reason alone, where the words around it name what was
    // tried: "Permission denied".
    static Failure of(const std::error_code& error) { return Failure(error.message()); }

    explicit operator bool() const { return !_what.empty(); }
    const std::string& what() const { return _what; }

private:
    std::string _what;
};

} // namespace platform
