// The high-score file's cases that only POSIX systems have: symbolic links,
// named pipes and devices, a read-only directory, root saving in the
// player's directory, a full disk, a gigabyte file.

#include "../HighScoreFileCases.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string highScoreFile = "HighScore.txt";

constexpr std::uintmax_t sparseSize = std::uintmax_t(1) << 30;
const char* const fullDisk = "size=4k"; // one page, taken by the stored score

const FileCase posixCases[] = {
    {"a link to a file",
     [] {
         placeFile("target.txt", "100", fs::perms(0640));
         fs::create_symlink("target.txt", highScoreFile);
     },
     200, "HighScore.txt -> target.txt; target.txt 640 \"200\""},
    {"a dangling link", [] { fs::create_symlink("target.txt", highScoreFile); }, 200,
     "HighScore.txt -> target.txt; target.txt \"200\""},
    {"a read-only directory",
     [] {
         placeFile(highScoreFile, "100", fs::perms(0600));
         fs::permissions(".", fs::perms(0555));
     },
     200, "HighScore.txt 600 \"200\""},
    {"a directory at the old draft name",
     [] {
         placeFile(highScoreFile, "100");
         fs::create_directory("HighScore.txt.tmp");
     },
     200, "HighScore.txt \"200\"; HighScore.txt.tmp/"},
    {"a link at the old draft name",
     [] {
         placeFile(highScoreFile, "100");
         placeFile("other.txt", "keep");
         fs::create_symlink("other.txt", "HighScore.txt.tmp");
     },
     200, "HighScore.txt \"200\"; HighScore.txt.tmp -> other.txt; other.txt \"keep\""},
    {"a named pipe", [] { mkfifo(highScoreFile.c_str(), 0644); }, 200, "HighScore.txt |",
     notRegular},
    {"a link to a device", [] { fs::create_symlink("/dev/null", highScoreFile); }, 200,
     "HighScore.txt -> /dev/null", notRegular},
    {"a gigabyte of sparse zeros after the number",
     [] {
         placeFile(highScoreFile, "300");
         fs::resize_file(highScoreFile, sparseSize);
     },
     300, "HighScore.txt 1073741824 bytes"},
    {"the player's file, saved by root",
     [] {
         placeFile(highScoreFile, "100");
         if (chown(highScoreFile.c_str(), nobody, nobody) != 0)
             _exit(1);
     },
     200, "HighScore.txt \"200\"", "", Saver::root},
    {"no file, saved by root", [] {}, 200, "HighScore.txt \"200\"", "", Saver::root},
    {"the player's link to a root-only file, saved by root",
     [] {
         placeFile("secret.txt", "100", fs::perms(0600));
         fs::create_symlink("secret.txt", highScoreFile);
         if (lchown(highScoreFile.c_str(), nobody, nobody) != 0)
             _exit(1);
     },
     200, "HighScore.txt -> secret.txt; secret.txt 600 \"100\" owner 0:0",
     "a symbolic link of another user", Saver::root},
    {"a full disk",
     [] { // in a mount namespace of the child's own: the mount goes with it
         fs::create_directory("disk");
         if (unshare(CLONE_NEWNS) != 0 ||
             mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
             mount("tmpfs", "disk", "tmpfs", 0, fullDisk) != 0)
             _exit(1);
         placeFile("disk/HighScore.txt", "100");
         fs::create_symlink("disk/HighScore.txt", highScoreFile);
     },
     200, "HighScore.txt -> disk/HighScore.txt owner 0:0; disk/ owner 0:0",
     "No space left on device", Saver::root},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(PosixSettings, HighScoreFileTest, ::testing::ValuesIn(posixCases));
