#pragma once

// How every platform module says that something could not be done: in words
// a player can read, naming what was tried and why it did not work, and,
// where the system gave one, its error code for the caller to act on. A
// default Failure means that nothing failed.
//
// Every function of the platform layer that can fail returns a Failure;
// one that also gives a value takes the place for it as its last argument,
// filled in only when nothing failed.

#include <string>
#include <system_error>
#include <utility>

namespace platform {

class Failure {
public:
    Failure() = default;
    explicit Failure(std::string what, std::error_code code = {})
        : _what(std::move(what)), _code(code)
    {
    }

    // "cannot <doing>: <the system's reason>", e.g. "cannot make
    // /home/ann/.local/share/quasaril: Permission denied".
    static Failure of(const std::string& doing, const std::error_code& error)
    {
        return Failure("cannot " + doing + ": " + error.message(), error);
    }

    // The system's reason alone, where the words around it name what was
    // tried: "Permission denied".
    static Failure of(const std::error_code& error) { return Failure(error.message(), error); }

    explicit operator bool() const { return !_what.empty(); }
    const std::string& what() const { return _what; }
    // The system's error, where it gave one.
    const std::error_code& code() const { return _code; }

private:
    std::string _what;
    std::error_code _code;
};

} // namespace platform
