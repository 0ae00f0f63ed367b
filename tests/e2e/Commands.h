#pragma once

// Programs run with their arguments as given, no shell in between, so any
// path reaches them whole: their status and output.

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace e2e {

struct Outcome {
    int status;         // the exit status; -1 if the command did not exit
    std::string output; // standard output and error
};

// Where and how a program runs: its working directory (this process's when
// empty), variables added to its environment, and its umask (this
// process's when none).
struct Setting {
    std::filesystem::path directory;
    std::vector<std::pair<std::string, std::string>> environment;
    std::optional<mode_t> umask;
};

// Runs the program (found on PATH), the first of the arguments.
Outcome run(const std::vector<std::string>& arguments, const Setting& setting = {});

} // namespace e2e
