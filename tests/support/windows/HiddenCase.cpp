#include "HiddenCase.h"

#include <cstdlib>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* roleVariable = "QUASARIL_CHILD";

fs::path ownProgram()
{
    std::wstring path(MAX_PATH * 4, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

} // namespace

ProgramStart hiddenCase(const std::string& name, const std::string& role, const fs::path& directory,
                        const fs::path& said, const fs::path& out)
{
    ProgramStart start;
    start.command = {ownProgram().u8string(), "--gtest_also_run_disabled_tests",
                     "--gtest_filter=WindowsChild.DISABLED_" + name};
    start.directory = directory;
    start.environment = {std::string(roleVariable) + "=" + role};
    start.output = out;
    start.errors = said;
    return start;
}

std::string childRole()
{
    const char* role = std::getenv(roleVariable);
    return role ? role : "";
}
