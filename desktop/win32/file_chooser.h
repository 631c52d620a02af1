// The file chooser on Windows: dialog 150 built from its resource, worked by the core's chooser
// rules (desktop/chooser_flow.h) over the dialog's controls.
#pragma once

#include <windows.h>

#include "desktop/chooser_request.h"
#include "resources/message_catalogue.h"

namespace klxr::win32 {

// Shows the chooser modally over its owner for the filled request. True when a file was chosen:
// its full path is then in request.ChosenPath, and request.ChooserFolder names the folder to
// remember (also after a cancel). Its questions and errors go to boxes.
bool RunFileChooserDialog(HINSTANCE instance, HWND owner, ChooserRequest& request,
                          MessageBoxes& boxes);

// Where the chooser goes beside its owner: to its right, top edges level, when the screen has the
// room; else to its left; else where it is. screenWidth is the width of the full-screen client
// area, chooser the chooser's window rectangle.
POINT ChooserPlace(const RECT& owner, const RECT& chooser, int screenWidth);

}  // namespace klxr::win32
