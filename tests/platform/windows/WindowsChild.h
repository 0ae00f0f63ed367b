#pragma once

// The Windows tests' child processes: this test program started again to run
// one hidden case in a directory of the test's choosing, its standard error
// kept in a file. What the case does is told by QUASARIL_CHILD.

#include <filesystem>
#include <string>
#include <windows.h>

// A fresh directory under the temporary one, removed with what it holds when
// the object goes.
class TestDirectory {
public:
    explicit TestDirectory(const std::wstring& name);
    ~TestDirectory();
    TestDirectory(const TestDirectory&) = delete;
    TestDirectory& operator=(const TestDirectory&) = delete;

    const std::filesystem::path& path() const { return _path; }

private:
    std::filesystem::path _path;
};

// Starts the hidden case `WindowsChild.DISABLED_<name>` in `directory`, with
// QUASARIL_CHILD set to `role`, its standard error in `said` and its
// standard output in `out`. The process handle, or null when it could not
// start.
HANDLE startChild(const std::string& name, const std::string& role,
                  const std::filesystem::path& directory, const std::filesystem::path& said,
                  const std::filesystem::path& out);

// Waits for the child and returns its exit code; -1 when it did not end
// within the deadline (it is then ended).
long finishChild(HANDLE child);

// QUASARIL_CHILD as the parent set it.
std::string childRole();
