// A picture of a window as a BMP file, for the screenshots of automated runs.
#pragma once

#include <windows.h>

#include <string>

namespace klxr::win32 {

// Saves a 24-bit BMP picture of the window as the screen shows it, frame included. False when the
// window cannot be read or the file cannot be written.
bool SaveWindowBitmap(HWND window, const std::string& path);

}  // namespace klxr::win32
