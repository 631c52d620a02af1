// Dialogs described in code rather than in the resource script: the program's own windows (the
// "History" window and its dialogs) with controls, such as a list view, that the resource tables
// do not describe. A description becomes a dialog template in memory, in the dialog font "MS Shell
// Dlg" 8, centred on the screen, with its geometry in dialog units as a resource's would be; the
// system builds the dialog and its controls from it, so Tab, Enter, Escape and the mnemonics work
// as in every dialog.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace klxr::win32 {

struct CodeControl {
  int id;
  std::wstring className;  // "Button", "Edit", "Static", "ComboBox", WC_LISTVIEWW...
  std::wstring text;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE
  short x;
  short y;
  short width;
  short height;
};

struct CodeDialog {
  std::wstring title;
  // Besides DS_SETFONT, DS_MODALFRAME, DS_CENTER, WS_POPUP, WS_CAPTION and WS_SYSMENU.
  DWORD style;
  short width;
  short height;
  std::vector<CodeControl> controls;  // in Tab order
};

// The dialog template of the description, DWORD-aligned, as DialogBoxIndirectParam takes it.
std::vector<DWORD> DialogTemplate(const CodeDialog& dialog);

// Shows the dialog modally over its owner; returns what EndDialog gave, or -1 when it cannot be
// made.
INT_PTR RunCodeDialog(HINSTANCE instance, HWND owner, const CodeDialog& dialog, DLGPROC procedure,
                      LPARAM parameter);

// Makes the dialog modeless (tests look at it without running its loop); null when it cannot be.
HWND CreateCodeDialog(HINSTANCE instance, HWND owner, const CodeDialog& dialog, DLGPROC procedure,
                      LPARAM parameter);

// Texts between the core's UTF-8 and the wide texts of the controls.
std::wstring WideText(const std::string& utf8);
std::string Utf8Text(const std::wstring& wide);
// The text of a dialog's control, as UTF-8.
std::string ControlText(HWND dialog, int controlId);

}  // namespace klxr::win32
