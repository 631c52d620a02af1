// The About box, dialog 110: the product line with the program's version, and below it the
// product picture (bitmap 216), centred across the dialog 58 pixels below the top of its client
// area, drawn afresh on every paint.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace klxr::win32 {

inline constexpr std::string_view kProductLine = "Quorvel KLXR";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 14;
inline constexpr int kAboutPictureTop = 58;

// "%s Meter V%d.%02d" of the product line and the version: "Quorvel KLXR Meter V1.14".
std::string AboutText(std::string_view productLine, int major, int minor);

// The dialog procedure of the box: title and text when it opens, the picture on each paint, OK,
// Escape and the close box end it with their command id.
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the box modally over its owner. Returns 1 for OK, 2 for Escape or the close box.
int RunAboutBox(HINSTANCE instance, HWND owner);

}  // namespace klxr::win32
