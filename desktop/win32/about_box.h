// The About box, dialog 110: the product line with the program's version, and below it the
// product picture (bitmap 216), centred across the dialog 58 pixels below the top of its client
// area, drawn afresh on every paint.
#pragma once

#include <windows.h>

#include "desktop/about_text.h"

namespace klxr::win32 {

// The dialog procedure of the box: title and text when it opens, the picture on each paint, OK,
// Escape and the close box end it with their command id.
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the box modally over its owner. Returns 1 for OK, 2 for Escape or the close box.
int RunAboutBox(HINSTANCE instance, HWND owner);

}  // namespace klxr::win32
