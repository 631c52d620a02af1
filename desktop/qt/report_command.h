// Saving the PDF report of the log where the user chooses. The log viewer's "Report (.pdf)..."
// and the File menu's "Report (.pdf)..." both run it.
#pragma once

#include <cstdint>

#include "desktop/desktop_shell.h"

class QWidget;

namespace klxr {

// Shows the file chooser for a .pdf file over owner and, when a file was chosen, writes the report
// of the context's log there with its levels in units (kUnitsDbm or kUnitsDbuv). The chooser's
// and the report's problems go to the context's boxes.
void SaveLogReport(const LogViewerContext& context, std::uint8_t units, QWidget* owner);

}  // namespace klxr
