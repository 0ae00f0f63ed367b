#pragma once

// Runs the console program quasaril-check as a user would, in the working
// directory, and holds what it prints against the transcripts in
// tests/transcripts/.
//
// A transcript is made of blocks separated by blank lines. Each block must
// stand in the output as consecutive lines, the blocks in their order, with
// anything between them. Timings such as " (3 ms)" are left out of the
// output before it is compared, so transcripts carry none.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChildProgram.h"

using Lines = std::vector<std::string>;

constexpr const char* highScoreFile = "HighScore.txt";

struct ConsoleRun {
    int exitCode;
    Lines lines;        // standard output, timings left out
    std::string errors; // standard error
};

// Runs quasaril-check in the working directory with the given flags. What it
// says on standard error is passed on to the test's, so SFML's and the
// sanitizers' words show.
ConsoleRun runConsole(const Lines& flags = {}, As as = As::tester);

// The named transcript's lines.
Lines transcript(const std::string& name);
std::string joined(const Lines& lines);

::testing::AssertionResult followsTranscript(const ConsoleRun& run, const std::string& name);

int occurrences(const std::string& text, const std::string& word);
