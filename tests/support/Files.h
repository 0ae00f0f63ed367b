#pragma once

// Whole files read and written at once, and a temporary directory, for the
// unit tests and the end-to-end tests alike.

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>

// A file's whole contents; empty when it cannot be read, and what was read
// so far when it goes halfway through (a file under /proc whose process ends).
std::string readFile(const std::filesystem::path& path);

// Replaces the file's contents with the text, byte for byte.
void writeFile(const std::filesystem::path& path, const std::string& text);

// The number stored at `at` in the bytes, in this machine's byte order (the
// little-endian order of WAV files here); 0 where it runs past their end.
template <typename Number> Number numberAt(const std::string& bytes, std::size_t at)
{
    Number value{};
    if (at + sizeof value <= bytes.size())
        std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// A directory of a new random name under the system's temporary one, for its
// owner only; throws when none can be made.
std::filesystem::path makeTemporaryDirectory();

// A fresh temporary directory, removed with all it holds when the object
// goes, even where a test made parts of it read-only.
class TemporaryDirectory {
public:
    TemporaryDirectory() = default;
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return _path; }

private:
    std::filesystem::path _path = makeTemporaryDirectory();
};
