// The one sequence behind every command that chooses a file (Load, Save, Export, the viewer's
// export and report): read the folder remembered for the command, fill the chooser's request, run
// the chooser, and remember the folder it showed last, also when the user cancelled.
#pragma once

#include <functional>

#include "desktop/chooser_command.h"
#include "desktop/chooser_request.h"
#include "desktop/settings_store.h"
#include "resources/message_catalogue.h"

namespace klxr {

// Runs the chooser for a command; showChooser shows it modally over the filled request. True when
// a file was chosen: its full path is then in request.ChosenPath. Questions and errors, of the
// chooser and of remembering the folder, go to boxes.
bool RunFileChooser(ChooserRequest& request, const ChooserCommand& command, SettingsStore& store,
                    MessageBoxes& boxes, const std::function<void(ChooserRequest&)>& showChooser);

}  // namespace klxr
