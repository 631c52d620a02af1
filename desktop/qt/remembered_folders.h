// The remembered folders: the folder the file chooser showed last for each kind of file, kept per
// user. On Windows they are string values of the registry key
// HKEY_CURRENT_USER\SOFTWARE\KLXRPlusData; elsewhere they live in a per-user settings file,
// KLXRPlusData.ini in the user's configuration folder (~/.config on Linux), under the same value
// names. The environment variable KLXR_SETTINGS_FILE names another settings file to use instead,
// on every platform.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "desktop/chooser_command.h"
#include "resources/message_catalogue.h"

namespace klxr {

inline constexpr char kSettingsFileVariable[] = "KLXR_SETTINGS_FILE";

// Where the folders are kept: the settings file, or the registry key on Windows.
QString RememberedFoldersLocation();

// The folder remembered under the value name; the current directory when none is remembered or it
// cannot be read (the settings file missing, unreadable, or not a regular file: a FIFO or device is
// never read, so that the chooser never waits for it). Reports nothing.
std::string ReadRememberedFolder(std::string_view valueName);

// Remembers the folder under the value name. When the store cannot be written, shows the error
// box "Can't read system registry, COM setting will not be saved" once, with a detail naming the
// settings file and the system's reason, and the folder is not remembered; the program goes on.
//
// The settings file is read and written as every file of the program: a FIFO, device or socket is
// never read and is written into, never replaced (a link to a device stays a link to the device);
// a regular file is replaced atomically, keeping every line but the value's own. A regular file
// that cannot be read is left as it is, so that its other folders are not lost.
void WriteRememberedFolder(std::string_view folder, std::string_view valueName,
                           MessageBoxes& boxes);

// The detail of that box: the settings file and what went wrong with it.
std::string SettingsProblemDetail(const std::string& file, std::string_view problem);

}  // namespace klxr
