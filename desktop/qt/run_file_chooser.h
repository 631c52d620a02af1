// The one sequence behind the Load, Save and Export commands: read the folder remembered for the
// command, fill the chooser's request, show the chooser modally beside its owner, and remember the
// folder it showed last, also when the user cancelled.
#pragma once

#include <optional>
#include <string_view>

#include "desktop/chooser_command.h"
#include "desktop/chooser_request.h"
#include "desktop/qt/remembered_folders.h"
#include "resources/message_catalogue.h"

class QWidget;

namespace klxr {

// Runs the chooser for a command. True when a file was chosen: its full path is then in
// request.ChosenPath. Questions and errors, of the chooser and of remembering the folder, go to
// boxes.
bool RunFileChooser(ChooserRequest& request, const ChooserCommand& command, QWidget* owner,
                    MessageBoxes& boxes);

}  // namespace klxr
