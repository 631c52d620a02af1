// The remembered folders as the Qt program keeps them: in the per-user settings file (see
// desktop/settings_file_store.h), looked up afresh at each use.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "desktop/chooser_command.h"
#include "desktop/remembered_folders.h"
#include "desktop/settings_file_store.h"
#include "resources/message_catalogue.h"

namespace klxr {

// The settings file the folders are kept in.
QString RememberedFoldersLocation();

// The folder remembered under the value name, else the current directory. Reports nothing.
std::string ReadRememberedFolder(std::string_view valueName);

// Remembers the folder under the value name; when the settings file cannot be written, the error
// box "Can't read system registry, COM setting will not be saved" with the file and the reason.
void WriteRememberedFolder(std::string_view folder, std::string_view valueName,
                           MessageBoxes& boxes);

}  // namespace klxr
