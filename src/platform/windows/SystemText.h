#pragma once

// The Windows modules' own helper: Windows says why a call failed by an
// error number; the game says it in words, in UTF-8 (std::filesystem turns
// UTF-8 into Windows' UTF-16 and back: u8path(...).wstring(), u8string()).

#include <string>

#include "platform/Failure.h"

namespace platform::windows {

// "cannot <doing>: <the system's reason for GetLastError()>".
Failure lastError(const std::string& doing);

// The system's reason for GetLastError() alone, where the words around it
// name what was tried.
Failure lastError();

// The system's reason for that error number alone.
Failure because(unsigned long error);

} // namespace platform::windows
