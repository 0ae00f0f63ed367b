#pragma once

// Whole files read and written at once, for the unit tests and the
// end-to-end tests alike.

#include <filesystem>
#include <string>

// A file's whole contents; empty when it cannot be read, and what was read
// so far when it goes halfway through (a file under /proc whose process ends).
std::string readFile(const std::filesystem::path& path);

// Replaces the file's contents with the text, byte for byte.
void writeFile(const std::filesystem::path& path, const std::string& text);
