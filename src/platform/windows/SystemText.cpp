#include "platform/windows/SystemText.h"

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
    return sentence.empty() ? "error " + std::to_string(error) : utf8(sentence);
}

} // namespace

std::wstring wide(const std::string& utf8)
{
    const int size = static_cast<int>(utf8.size());
    std::wstring text(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), static_cast<int>(text.size()));
    return text;
}

std::string utf8(const std::wstring& wide)
{
    const int size = static_cast<int>(wide.size());
    std::string text(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), static_cast<int>(text.size()),
                        nullptr, nullptr);
    return text;
}

Failure lastError(const std::string& doing)
{
    return Failure("cannot " + doing + ": " + reason(GetLastError()));
}

Failure lastError()
{
    return because(GetLastError());
}

Failure because(unsigned long error)
{
    return Failure(reason(error));
}

} // namespace platform::windows
