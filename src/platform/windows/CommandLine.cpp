#include "platform/CommandLine.h"

#include <filesystem>
#include <windows.h>

#include <shellapi.h>

#include "platform/windows/SystemText.h"

namespace platform::commandline {

Failure utf8Arguments(int, char**, std::vector<std::string>& arguments)
{
    int count = 0;
    wchar_t** const wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return windows::lastError("read the command line");
    arguments.clear();
    for (int at = 0; at < count; ++at)
        arguments.push_back(std::filesystem::path(wide[at]).u8string());
    LocalFree(wide);
    return {};
}

} // namespace platform::commandline
