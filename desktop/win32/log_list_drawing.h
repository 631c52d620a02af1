// The log viewer's list, drawn by the viewer: every field of a line starts at its column, as the
// column headings stand, also where a field before it is wider than its column (a multiplex name of
// full width followed by a status text): that field is then drawn condensed, just enough to keep
// clear of the next (desktop/log_viewer_lines.h). A plain list box would push every later field of
// that line one tab stop to the right. The lines stay the list's strings, so the list reads and
// copies as before.
#pragma once

#include <windows.h>

namespace klxr::win32 {

// Replaces the dialog's list (from the template, with its place, size, styles, font, id and place
// in the tab order) by the same list drawn by its owner, with the extra styles given (a list box
// takes its selection style only when it is made). Call while the dialog initialises.
void MakeListOwnerDrawn(HWND dialog, int listId, DWORD extraStyles = 0);

// WM_MEASUREITEM of that list: a line is as high as the dialog font's characters.
void MeasureLogLine(HWND dialog, MEASUREITEMSTRUCT& item);

// WM_DRAWITEM of that list: background, selection and focus as a list box draws them, and the
// line's fields at their columns.
void DrawLogLine(HWND dialog, const DRAWITEMSTRUCT& item);

}  // namespace klxr::win32
