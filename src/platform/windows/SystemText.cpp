#include "platform/windows/SystemText.h"

#include <filesystem>
#include <windows.h>

namespace platform::windows {
namespace {

constexpr DWORD messageFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

// The system's sentence without its full stop and line end, to sit inside
// the game's own: "Access is denied".
std::string reason(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(messageFlags, nullptr, error, 0,
                                        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring sentence(text ? text : L"", length);
    LocalFree(text);
    while (!sentence.empty() && (sentence.back() == L'\r' || sentence.back() == L'\n' ||
                                 sentence.back() == L'.' || sentence.back() == L' '))
        sentence.pop_back();
    return sentence.empty() ? "error " + std::to_string(error)
                            : std::filesystem::path(sentence).u8string();
}

std::error_code code(unsigned long error)
{
    return std::error_code(static_cast<int>(error), std::system_category());
}

} // namespace

Failure lastError(const std::string& doing)
{
    const DWORD error = GetLastError();
    return Failure("cannot " + doing + ": " + reason(error), code(error));
}

Failure lastError()
{
    return because(GetLastError());
}

Failure because(unsigned long error)
{
    return Failure(reason(error), code(error));
}

} // namespace platform::windows
