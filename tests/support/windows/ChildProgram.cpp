#include "ChildProgram.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <windows.h>

#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

// The C library writes a carriage return before every line feed in text
// mode, which is how console programs write here.
std::string withoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// A file the child writes into as one of its standard handles.
HANDLE inheritedFile(const char* name)
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    return CreateFileW(fs::path(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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

} // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments, As as)
{
    if (as != As::tester)
        throw std::logic_error("no other user to become here");
    std::wstring commandLine = quoted(fs::path(program).wstring());
    for (const auto& argument : arguments)
        commandLine += L" " + quoted(fs::u8path(argument).wstring());

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = inheritedFile(capturedOutput);
    startup.hStdError = inheritedFile(capturedErrors);
    PROCESS_INFORMATION process{};
    const bool started = startup.hStdOutput != INVALID_HANDLE_VALUE &&
                         startup.hStdError != INVALID_HANDLE_VALUE &&
                         CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    if (!started)
        throw std::runtime_error("cannot start " + program);

    DWORD exitCode = 0;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return {static_cast<int>(exitCode), withoutCarriageReturns(readFile(capturedOutput)),
            withoutCarriageReturns(readFile(capturedErrors))};
}
