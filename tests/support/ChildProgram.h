#pragma once

// A program run to its end as a user would start it from a shell, in the
// working directory, with what it prints captured.

#include <string>
#include <vector>

struct ProgramRun {
    int exitCode;    // a process killed by signal n reads as 128 + n, as in a shell
    std::string out; // standard output, in lines ended by "\n" alone
    std::string err; // standard error
};

enum class As {
    tester,
    // An unprivileged user (the tests run as root, who may write anywhere),
    // without DISPLAY: the test's X server may not let that user in. POSIX
    // systems only.
    player,
};

// The files in the working directory the captured output passes through.
constexpr const char* capturedOutput = "program-stdout.txt";
constexpr const char* capturedErrors = "program-stderr.txt";

// Runs the program with the given arguments.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      As as = As::tester);
