#include "WindowsChild.h"

#include <cstdlib>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr DWORD childDeadlineMs = 60000; // a blocked child fails instead of hanging
constexpr const wchar_t* roleVariable = L"QUASARIL_CHILD";

std::wstring ownProgram()
{
    std::wstring path(MAX_PATH * 4, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

} // namespace

TestDirectory::TestDirectory(const std::wstring& name)
{
    _path = fs::temp_directory_path() / (name + L"-" + std::to_wstring(std::random_device()()));
    fs::create_directories(_path);
}

TestDirectory::~TestDirectory()
{
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(_path, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(_path, ignored);
}

HANDLE startChild(const std::string& name, const std::string& role, const fs::path& directory,
                  const fs::path& said, const fs::path& out)
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE error = CreateFileW(said.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE output = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (error == INVALID_HANDLE_VALUE || output == INVALID_HANDLE_VALUE)
        return nullptr;
    std::wstring command =
        L"\"" + ownProgram() +
        L"\" --gtest_also_run_disabled_tests --gtest_filter=WindowsChild.DISABLED_" +
        fs::u8path(name).wstring();
    SetEnvironmentVariableW(roleVariable, fs::u8path(role).c_str());
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = output;
    start.hStdError = error;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        directory.c_str(), &start, &process);
    SetEnvironmentVariableW(roleVariable, nullptr);
    CloseHandle(error);
    CloseHandle(output);
    if (!started)
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

long finishChild(HANDLE child)
{
    DWORD code = 0;
    const bool ended = WaitForSingleObject(child, childDeadlineMs) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(child, &code);
    if (!ended)
        TerminateProcess(child, 1);
    CloseHandle(child);
    return ended ? static_cast<long>(code) : -1;
}

std::string childRole()
{
    const char* role = std::getenv("QUASARIL_CHILD");
    return role ? role : "";
}
