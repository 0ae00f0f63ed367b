// quasaril-check.exe on a console of its own, as a double-click starts it,
// and on a Command Prompt's. Started here, not through the ChildProgram
// starter: what is tested is the console the program starts on, which that
// starter shares with the test.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <windows.h>

#include "TestSupport.h"

namespace {

constexpr ULONGLONG deadlineMs = 60000; // a program that hangs fails the case instead
constexpr DWORD pollMs = 50;
const wchar_t* const prompt = L"Press any key";
const char* const report = "report.xml";

struct Start {
    const char* how;
    bool fromCommandPrompt; // started by cmd, which shares its console
    bool waits;
};

void PrintTo(const Start& start, std::ostream* out)
{
    *out << start.how;
}

const Start starts[] = {
    {"double-clicked", false, true},
    {"from a Command Prompt", true, false},
};

std::wstring commandLine(bool fromCommandPrompt)
{
    const std::wstring program =
        L"\"" + std::filesystem::u8path(QUASARIL_CONSOLE).make_preferred().wstring() + L"\"";
    // Runs nothing, and writes its report as its run ends.
    const std::wstring run = program + L" --gtest_filter=NoSuchCase --gtest_output=xml:" +
                             std::filesystem::u8path(report).wstring();
    return fromCommandPrompt ? L"cmd /c \"" + run + L"\"" : run;
}

// A console of the child's, made for it alone. Its own start, not the
// tests' starter: the console a program starts on is what these cases are
// about, and its handles are the console's, not files.
PROCESS_INFORMATION startOnNewConsole(std::wstring command)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    return process;
}

// Works on the console of another process, attached to it for the while.
template <typename Work> void onConsoleOf(DWORD process, const wchar_t* device, Work work)
{
    FreeConsole();
    if (!AttachConsole(process))
        return;
    const HANDLE handle =
        CreateFileW(device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        work(handle);
        CloseHandle(handle);
    }
    FreeConsole();
}

std::wstring consoleText(DWORD process)
{
    std::wstring text;
    onConsoleOf(process, L"CONOUT$", [&text](HANDLE out) {
        CONSOLE_SCREEN_BUFFER_INFO screen;
        if (!GetConsoleScreenBufferInfo(out, &screen))
            return;
        text.resize(static_cast<std::size_t>(screen.dwSize.X) * screen.dwSize.Y);
        DWORD read = 0;
        ReadConsoleOutputCharacterW(out, text.data(), static_cast<DWORD>(text.size()), {0, 0},
                                    &read);
        text.resize(read);
    });
    return text;
}

void pressSpace(DWORD process)
{
    onConsoleOf(process, L"CONIN$", [](HANDLE in) {
        INPUT_RECORD key[2] = {};
        for (INPUT_RECORD& record : key) {
            record.EventType = KEY_EVENT;
            record.Event.KeyEvent.wRepeatCount = 1;
            record.Event.KeyEvent.wVirtualKeyCode = VK_SPACE;
            record.Event.KeyEvent.uChar.UnicodeChar = L' ';
        }
        key[0].Event.KeyEvent.bKeyDown = TRUE;
        DWORD written = 0;
        WriteConsoleInputW(in, key, 2, &written);
    });
}

// The program asks who shares its console as it starts. Reading the console
// means attaching to it, so this test waits, without attaching, until the
// report shows the run has ended.
bool reportWritten()
{
    const ULONGLONG deadline = GetTickCount64() + deadlineMs;
    while (!std::filesystem::exists(report))
        if (GetTickCount64() < deadline)
            Sleep(pollMs);
        else
            return false;
    return true;
}

bool promptShown(DWORD process)
{
    const ULONGLONG deadline = GetTickCount64() + deadlineMs;
    while (consoleText(process).find(prompt) == std::wstring::npos)
        if (GetTickCount64() < deadline)
            Sleep(pollMs);
        else
            return false;
    return true;
}

class ConsoleWindow : public ::testing::TestWithParam<Start> {};

} // namespace

// Alone on its console it says so and waits for a key, then ends as
// always; from a Command Prompt it ends by itself.
TEST_P(ConsoleWindow, WaitsForAKeyOnlyWhereItIsAlone)
{
    const Start& start = GetParam();
    const ScopedWorkDir dir;
    const PROCESS_INFORMATION child = startOnNewConsole(commandLine(start.fromCommandPrompt));
    ASSERT_NE(child.hProcess, nullptr) << "cannot start " << QUASARIL_CONSOLE;
    if (start.waits) {
        EXPECT_TRUE(reportWritten()) << "the run never ended";
        EXPECT_TRUE(promptShown(child.dwProcessId)) << "no prompt on its console";
        EXPECT_EQ(WaitForSingleObject(child.hProcess, 0), WAIT_TIMEOUT) << "ended unasked";
        pressSpace(child.dwProcessId);
    }
    const bool ended = WaitForSingleObject(child.hProcess, deadlineMs) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    if (!ended)
        TerminateProcess(child.hProcess, 1);
    CloseHandle(child.hProcess);
    EXPECT_TRUE(ended) << "still waiting";
    EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Starts, ConsoleWindow, ::testing::ValuesIn(starts));
