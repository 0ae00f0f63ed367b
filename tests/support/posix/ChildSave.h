#pragma once

// The high score saved in a child process, as the player or as root, and
// the working directory described afterwards.

#include <optional>
#include <string>
#include <sys/types.h>

#include "TestSupport.h"

constexpr uid_t rootUser = 0;

enum class Saver { player, root };

// What a child saw of two frames that save the same score.
struct TwoFrames {
    float best[2];          // what SaveScore returned
    long long firstRead;    // bytes read by the first save
    long long secondWrites; // write calls made by the second
    std::string said;       // the child's standard error
};

// In a child process, as the player (uid 65534 when started as root, since
// root writes wherever it likes) or as root, with the player's umask: runs
// setUp, then saves `score` in two frames. Nothing when the child failed or
// did not answer before a deadline.
std::optional<TwoFrames> saveTwiceInChild(void (*setUp)(), Saver saver, float score);

// Every entry of the working directory in one line: kind, mode and text (or
// size) of files, the target of links, and the owner where it is not the
// directory's. A draft left behind shows up here too.
std::string describeWorkDir();
