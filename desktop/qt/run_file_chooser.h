// The Qt program's file chooser sequence: the folder remembered in the settings file, the chooser
// shown modally beside its owner (see desktop/run_file_chooser.h).
#pragma once

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
