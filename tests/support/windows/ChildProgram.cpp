#include "ChildProgram.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <windows.h>

#include "Files.h"

namespace fs = std::filesystem;

namespace {

HANDLE handleOf(std::intptr_t process)
{
    return reinterpret_cast<HANDLE>(process);
}

// A file the child writes into as one of its standard handles, or this
// process's own where none is named.
HANDLE streamFor(const fs::path& file, const fs::path& directory, DWORD own)
{
    if (file.empty())
        return GetStdHandle(own);
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const fs::path path = file.is_absolute() || directory.empty() ? file : directory / file;
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// One argument as the C library of the child splits its command line back:
// in quotes, with quotes and the backslashes before them escaped.
std::wstring quoted(const std::wstring& argument)
{
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(2 * backslashes, L'\\');
    return text + L"\"";
}

std::wstring commandLine(const ProgramStart& start)
{
    std::wstring line =
        quoted(fs::u8path(start.name.empty() ? start.command.front() : start.name).wstring());
    for (auto argument = start.command.begin() + 1; argument != start.command.end(); ++argument)
        line += L" " + quoted(fs::u8path(*argument).wstring());
    return line;
}

// The environment's changes, made in this process for the child to inherit
// and undone once it has started.
class EnvironmentChanges {
public:
    explicit EnvironmentChanges(const std::vector<std::string>& changes)
    {
        for (const std::string& change : changes) {
            const std::size_t equals = change.find('=');
            const std::wstring name = fs::u8path(change.substr(0, equals)).wstring();
            _before.emplace_back(name, valueOf(name));
            const std::wstring value =
                equals == std::string::npos ? L"" : fs::u8path(change.substr(equals + 1)).wstring();
            SetEnvironmentVariableW(name.c_str(),
                                    equals == std::string::npos ? nullptr : value.c_str());
        }
    }
    ~EnvironmentChanges()
    {
        for (auto change = _before.rbegin(); change != _before.rend(); ++change)
            SetEnvironmentVariableW(change->first.c_str(),
                                    change->second ? change->second->c_str() : nullptr);
    }
    EnvironmentChanges(const EnvironmentChanges&) = delete;
    EnvironmentChanges& operator=(const EnvironmentChanges&) = delete;

private:
    static std::optional<std::wstring> valueOf(const std::wstring& name)
    {
        const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
        if (size == 0)
            return std::nullopt;
        std::wstring value(size, L'\0');
        value.resize(GetEnvironmentVariableW(name.c_str(), value.data(), size));
        return value;
    }

    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> _before;
};

} // namespace

ChildProgram::ChildProgram(const ProgramStart& start)
{
    if (start.command.empty() || start.as != As::tester)
        return;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = streamFor(start.output, start.directory, STD_OUTPUT_HANDLE);
    const bool together = !start.errors.empty() && start.errors == start.output;
    startup.hStdError =
        together ? startup.hStdOutput : streamFor(start.errors, start.directory, STD_ERROR_HANDLE);
    const std::wstring program = fs::u8path(start.command.front()).wstring();
    std::wstring line = commandLine(start);
    PROCESS_INFORMATION process{};
    const EnvironmentChanges changes(start.environment);
    const bool started = startup.hStdOutput != INVALID_HANDLE_VALUE &&
                         startup.hStdError != INVALID_HANDLE_VALUE &&
                         CreateProcessW(start.name.empty() ? nullptr : program.c_str(), line.data(),
                                        nullptr, nullptr, TRUE, 0, nullptr,
                                        start.directory.empty() ? nullptr : start.directory.c_str(),
                                        &startup, &process);
    if (!start.output.empty())
        CloseHandle(startup.hStdOutput);
    if (!start.errors.empty() && !together)
        CloseHandle(startup.hStdError);
    if (!started)
        return;
    CloseHandle(process.hThread);
    _process = reinterpret_cast<std::intptr_t>(process.hProcess);
}

void ChildProgram::stop()
{
    if (!started())
        return;
    if (running()) {
        TerminateProcess(handleOf(_process), 1);
        WaitForSingleObject(handleOf(_process), INFINITE);
    }
    CloseHandle(handleOf(_process));
    _process = -1;
}

bool ChildProgram::started() const
{
    return _process != -1;
}

bool ChildProgram::running()
{
    return !wait(Limit::zero());
}

std::optional<int> ChildProgram::wait(Limit limit)
{
    if (_status || !started())
        return _status;
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(limit);
    DWORD code = 0;
    if (WaitForSingleObject(handleOf(_process), static_cast<DWORD>(milliseconds.count())) ==
            WAIT_OBJECT_0 &&
        GetExitCodeProcess(handleOf(_process), &code))
        _status = static_cast<int>(code);
    return _status;
}

void ChildProgram::signal(int signal)
{
    if (running())
        TerminateProcess(handleOf(_process), static_cast<UINT>(shellSignalBase + signal));
}

std::intptr_t ChildProgram::id() const
{
    return _process;
}

std::string capturedText(const fs::path& file)
{
    std::string text = readFile(file);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}
