#pragma once

// What the package tests share: shell commands with their status and output,
// and the package cpack leaves in a directory.

#include <filesystem>
#include <string>

namespace e2e {

struct Outcome {
    int status;         // the exit status; -1 if the command did not exit
    std::string output; // standard output and error
};

// Runs a command through the shell.
Outcome run(const std::string& command);

// A path quoted for the shell; our paths hold no single quote.
std::string quoted(const std::filesystem::path& path);

// The one file with this extension (".deb") in directory; empty if there is
// none or more than one.
std::filesystem::path onlyFileIn(const std::filesystem::path& directory,
                                 const std::string& extension);

} // namespace e2e
