#pragma once

// The one way the tests start a program, on either side: its command, its
// working directory, its environment, where its output goes, and then
// either run to its end or left running while the test acts, stopped by its
// process id when the object goes.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The player, when the tests run as root and drop to another user.
constexpr unsigned nobody = 65534;

enum class As {
    tester,
    // An unprivileged user (the tests run as root, who may write anywhere),
    // without DISPLAY: the test's X server may not let that user in. POSIX
    // systems only.
    player,
};

// How a program starts.
struct ProgramStart {
    // The program, then its arguments. A program named without a directory is
    // looked up on PATH.
    std::vector<std::string> command;
    // Where it runs: this process's working directory when empty.
    std::filesystem::path directory;
    // Over this process's environment: "NAME=value" sets a variable, "NAME"
    // removes it.
    std::vector<std::string> environment;
    // Files its standard output and error go to, made afresh (relative to
    // `directory`); one file for both where they are the same. Empty: this
    // process's own.
    std::filesystem::path output;
    std::filesystem::path errors;
    As as = As::tester;
    // The name the program is given as its own (argv[0]): the command's first
    // word when empty.
    std::string name;
    // On POSIX systems, run in the new process just before the program
    // replaces it: for what a case changes in what a program inherits.
    std::function<void()> prepare;
};

using Limit = std::chrono::duration<double>;

// A process ended by signal n exits, as a shell tells it, with this plus n.
constexpr int shellSignalBase = 128;

// A started program. Its exit status reads as a shell gives it.
class ChildProgram {
public:
    // Starts it; started() says whether it did.
    explicit ChildProgram(const ProgramStart& start);
    // Stops it (SIGKILL, TerminateProcess) if it still runs, and reaps it.
    ~ChildProgram();
    ChildProgram(ChildProgram&& other) noexcept;
    ChildProgram& operator=(ChildProgram&& other) noexcept;
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    bool started() const;
    bool running();
    // Its exit status, once it has ended within the limit.
    std::optional<int> wait(Limit limit);
    // Sends a signal (POSIX), or ends it (Windows, whatever the signal).
    void signal(int signal);
    // Its process id (POSIX), or its process handle (Windows).
    std::intptr_t id() const;

private:
    void stop();

    std::intptr_t _process = -1; // the pid, or the process handle
    std::optional<int> _status;
};

// A program run to its end, within a deadline: its status and output.
struct ProgramRun {
    int exitCode;    // -1 when it had to be stopped at the deadline
    std::string out; // standard output, in lines ended by "\n" alone
    std::string err; // standard error
};

constexpr std::chrono::seconds programDeadline{600};

// Runs the program with its output captured: where `start` names no files,
// into capturedOutput and capturedErrors in its working directory.
ProgramRun runProgram(ProgramStart start, Limit deadline = programDeadline);

// The files in the working directory the captured output passes through.
constexpr const char* capturedOutput = "program-stdout.txt";
constexpr const char* capturedErrors = "program-stderr.txt";

// Runs the program with the given arguments, in this working directory.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      As as = As::tester);

// A captured file's text as the tests compare it: on Windows, where the C
// library writes a carriage return before every line feed, without them.
std::string capturedText(const std::filesystem::path& file);
