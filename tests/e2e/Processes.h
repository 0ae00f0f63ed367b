#pragma once

// Programs started as a shell would start them, and what /proc tells about
// the processes they start in turn.

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "ChildProgram.h"
#include "Desktop.h"
#include "posix/Children.h"

namespace e2e {

// The changes to this process's environment that set DISPLAY to the given
// value, or unset it when there is none, and PATH when one is given.
std::vector<std::string> environmentWith(const char* display, const char* path = nullptr);

// Starts the program in the directory, its standard output and error going
// to "stdout.txt" and "stderr.txt" there; `prepare` runs in the new process
// just before the program replaces it.
ChildProgram start(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment,
                   const std::filesystem::path& directory,
                   const std::function<void()>& prepare = {});

struct Finished {
    int status; // as a shell gives it: 128 + n for a process ended by signal n
    std::string out;
    std::string err;
    std::string highScore;
};

Finished run(const std::string& program, const std::vector<std::string>& arguments,
             const std::vector<std::string>& environment, const TemporaryDirectory& directory);

// Stops every child left to this process, by its PID, until none is left
// (each one reaped hands its own orphans to this process); counts those that
// were still running.
std::size_t stopChildrenLeft();

// A test whose process adopts the orphans of the programs it starts, so that
// what they leave running is found here, and stopped when the test ends,
// however it ends.
class AdoptingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { stopChildrenLeft(); }
};

// A process's state as /proc/PID/stat gives it ('R', 'S', 'Z', ...); 0
// once it has gone.
char stateOf(pid_t pid);

// A process's arguments, its name first.
std::vector<std::string> commandLine(pid_t pid);

// A process's open descriptors and what each leads to ("/dev/null",
// "pipe:[123]", "/memfd:name (deleted)", ...).
std::map<int, std::string> descriptors(pid_t pid);

// The number of the X display whose socket the process listens on.
std::optional<int> listeningDisplay(pid_t pid);

// An executable "Xvfb" shell script with the given body, alone in a
// directory of its own: put that directory first on PATH.
class FakeXvfb {
public:
    explicit FakeXvfb(const std::string& body);
    std::string path() const { return _directory.path().string(); }

private:
    TemporaryDirectory _directory;
};

} // namespace e2e
