// The system's own text for a Win32 error code, for the detail of a message.
#pragma once

#include <windows.h>

#include <string>

namespace klxr::win32 {

// The text FormatMessage gives for the code, without its trailing line break; the code's number
// when the system has no text for it.
std::string SystemErrorText(DWORD code);

}  // namespace klxr::win32
