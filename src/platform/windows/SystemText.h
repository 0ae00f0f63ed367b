#pragma once

// The Windows modules' own helper: the game's text is UTF-8, Windows speaks
// UTF-16, and says why a call failed by an error number.

#include <string>

#include "platform/Failure.h"

namespace platform::windows {

std::wstring wide(const std::string& utf8);
std::string utf8(const std::wstring& wide);

// "cannot <doing>: <the system's reason for GetLastError()>".
Failure lastError(const std::string& doing);

// The system's reason for GetLastError() alone, where the words around it
// name what was tried.
Failure lastError();

// The system's reason for that error number alone.
Failure because(unsigned long error);

} // namespace platform::windows
