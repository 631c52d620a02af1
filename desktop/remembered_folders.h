// The remembered folders: the folder the file chooser showed last for each kind of file (a value
// name of chooser_command.h), kept per user in a settings store.
#pragma once

#include <string>
#include <string_view>

#include "desktop/settings_store.h"
#include "resources/message_catalogue.h"

namespace klxr {

// The folder remembered under the value name; the current directory when none is remembered, the
// store cannot be read or the folder would not fit a path. The stored text ends at its first zero
// byte. Reports nothing.
std::string ReadRememberedFolder(SettingsStore& store, std::string_view valueName);

// Remembers the folder under the value name. When the store cannot be written, shows the error
// box "Can't read system registry, COM setting will not be saved" once, with the store's detail,
// and the folder is not remembered; the program goes on.
void WriteRememberedFolder(SettingsStore& store, std::string_view folder,
                           std::string_view valueName, MessageBoxes& boxes);

}  // namespace klxr
