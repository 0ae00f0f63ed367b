#pragma once

// The high-score file in a setting a player or an attacker could leave it
// in, saved twice (two frames of one score) in a child process: the cases
// both sides share are in HighScoreFileTest.cpp, those of POSIX systems alone
// in platform/PosixHighScoreFileTest.cpp.

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "ChildSave.h"

struct FileCase {
    const char* setting;
    void (*setUp)();       // run as the saver, in the working directory
    float best;            // what SaveScore(200) returns, in both frames
    std::string after;     // the working directory afterwards, as describeWorkDir says it
    std::string said = ""; // in the one line on standard error; "" when nothing is said
    Saver saver = Saver::player;
};

inline void PrintTo(const FileCase& c, std::ostream* out)
{
    *out << c.setting;
}

// A file of the player's with that text and those permission bits.
void placeFile(const std::string& name, const std::string& text,
               std::filesystem::perms bits = plainFileBits);

class HighScoreFileTest : public ::testing::TestWithParam<FileCase> {};

extern const char* const notRegular;
