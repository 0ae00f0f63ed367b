#pragma once

// The high score saved in a child process, and what differs between the
// sides in the cases that do it: the child, the player it runs as, a
// refused file's reason and the name of a draft.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "TestSupport.h"

enum class Saver {
    player,
    root, // POSIX systems only: root writing in the player's directory
};

// What a child saw of two frames that save the same score. The counts come
// from Linux's /proc/self/io; Wine counts no process's reads and writes.
struct TwoFrames {
    float best[2];                         // what SaveScore returned
    std::optional<long long> firstRead;    // bytes read by the first save, where measured
    std::optional<long long> secondWrites; // write calls made by the second, where measured
    std::string said;                      // the child's standard error
};

// Whether this run can save as that user.
bool savesAs(Saver saver);

// In a child process working in the working directory, as the player (uid
// 65534 when started as root, since root writes wherever it likes, and then
// the directory's owner) or as root, with the player's umask: runs setUp
// (on Windows, before the child starts), then saves `score` in two frames.
// Nothing when the child failed or did not answer before a deadline.
std::optional<TwoFrames> saveTwiceInChild(void (*setUp)(), Saver saver, float score);

// A child saving ever higher scores from `from` until it is killed: its
// process id (on Windows, its handle), or 0 when it could not start.
std::intptr_t startSaver(float from);
// Kills the saver and waits for it: whether the kill ended it.
bool killSaver(std::intptr_t saver);
// How many savers the kill test kills: process starts are slow under Wine.
extern const int saverKills;

// The reason a save into a read-only file gives.
extern const char* const refusedReason;
// A name the saves give their drafts.
extern const char* const draftName;
// The permission bits of a file the player makes: the working directory's
// description leaves them out.
extern const std::filesystem::perms plainFileBits;
// " owner UID:GID" where the entry's owner is not the working directory's,
// else "".
std::string foreignOwner(const std::filesystem::path& entry);
