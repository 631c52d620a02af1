// "Report (.pdf)..." of the File menu on Windows: the PDF report of the log in dBm.
#pragma once

#include "desktop/desktop_shell.h"

namespace klxr::win32 {

class Win32Shell;

// Runs the report command over the shell's main window; the caller has made sure that the log
// holds records. Its boxes go to the context's boxes.
void RunReportCommand(Win32Shell& shell, const LogViewerContext& context);

}  // namespace klxr::win32
