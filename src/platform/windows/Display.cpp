#include "platform/Display.h"

#include <conio.h>
#include <cstdio>
#include <cstdlib>
#include <windows.h>

// A Windows program always has its desktop.
namespace platform::display {
namespace {

constexpr DWORD consoleProcessesAsked = 2; // enough to tell one from more

bool onTheConsole(DWORD stream)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stream), &mode);
}

// Double-clicked, the check program is the only process on a console made
// for it, which closes as it ends: its report would go unread. There it
// waits for a key at the end. Started from a Command Prompt, whose console
// it shares, or with its output going elsewhere, it ends at once. Who
// shares the console is asked as the program starts: a Command Prompt is
// there from before it, while a program that attaches to the console later
// for a moment (to read it, say) must not count.
bool aloneOnItsConsole()
{
    DWORD processes[consoleProcessesAsked];
    return GetConsoleProcessList(processes, consoleProcessesAsked) == 1 &&
           onTheConsole(STD_INPUT_HANDLE) && onTheConsole(STD_OUTPUT_HANDLE);
}

void waitForAKey()
{
    // Keys pressed before the question are dropped; any key after it counts.
    FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
    std::fputs("Press any key to close this window.\n", stdout);
    std::fflush(stdout);
    _getch();
}

} // namespace

Failure forGame()
{
    return {};
}

Failure forChecks()
{
    if (aloneOnItsConsole())
        std::atexit(waitForAKey);
    return {};
}

} // namespace platform::display
