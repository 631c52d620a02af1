// The two small dialogs of the "History" window on Windows, built in code (code_dialog.h): the
// label dialog (a survey's site and note) and the comparison of a survey with the log now loaded,
// a list view with its summary (worse rows tinted red, better ones green).
#pragma once

#include <windows.h>

#include <string>

#include "desktop/comparison_table.h"
#include "desktop/win32/code_dialog.h"

namespace klxr::win32 {

const CodeDialog& LabelDialog();
const CodeDialog& ComparisonDialog();

// The label dialog filled with the site and note (UTF-8); OK takes what the user typed into them.
// False when cancelled.
bool RunLabelDialog(HINSTANCE instance, HWND owner, std::string& site, std::string& note);

// The comparison, modally over its owner until Close, Enter or Escape.
void RunComparisonDialog(HINSTANCE instance, HWND owner, const ComparisonTable& table);
// The same modeless (tests); the table must outlive the dialog.
HWND CreateComparisonDialog(HINSTANCE instance, HWND owner, const ComparisonTable& table);

}  // namespace klxr::win32
