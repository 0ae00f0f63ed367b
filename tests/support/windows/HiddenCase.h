#pragma once

// The Windows tests' children, which have no fork: this test program
// started again to run one hidden case, `WindowsChild.DISABLED_<name>`, in
// a directory of the test's choosing. What the case does is told by the
// role it is given.

#include <chrono>
#include <filesystem>
#include <string>

#include "ChildProgram.h"

// A child that blocks fails the case instead of hanging it.
constexpr std::chrono::seconds childDeadline{60};

// The start of the hidden case, its standard error in `said` and its
// standard output in `out`.
ProgramStart hiddenCase(const std::string& name, const std::string& role,
                        const std::filesystem::path& directory, const std::filesystem::path& said,
                        const std::filesystem::path& out);

// The role the parent gave this process.
std::string childRole();
