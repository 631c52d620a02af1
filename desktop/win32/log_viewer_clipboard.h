// Copy in the log viewer: the selected lines of its list on the clipboard, tab-separated, one line
// each ending in CR LF, as text and as Unicode text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace klxr::win32 {

// The strings of a list box, in order.
std::vector<std::string> ListStrings(HWND list);

// The selected rows of a list box, single or multiple selection alike.
std::vector<int> SelectedRows(HWND list);

// Puts the 8-bit text (of the system's code page) on the clipboard as CF_TEXT and CF_UNICODETEXT.
// False when the clipboard cannot be had.
bool PutTextOnClipboard(HWND owner, const std::string& text);

// Copies the selected lines of the list to the clipboard; nothing selected leaves it as it was.
void CopySelectedLines(HWND owner, HWND list);

}  // namespace klxr::win32
