// The remembered folders: the folder the file chooser showed last for each kind of file, kept per
// user. On Windows they are string values of the registry key
// HKEY_CURRENT_USER\SOFTWARE\KLXRPlusData; elsewhere they live in a per-user settings file,
// KLXRPlusData.ini in the user's configuration folder (~/.config on Linux), under the same value
// names. The environment variable KLXR_SETTINGS_FILE names another settings file to use instead,
// on every platform.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "resources/message_catalogue.h"

namespace klxr {

// Value names of the three remembered folders.
inline constexpr std::string_view kLogLoadDir = "LogLoadDir";
inline constexpr std::string_view kLogSaveDir = "LogSaveDir";
inline constexpr std::string_view kExportDir = "KLXRPlusExportDir";

inline constexpr char kSettingsFileVariable[] = "KLXR_SETTINGS_FILE";

// Where the folders are kept: the settings file, or the registry key on Windows.
QString RememberedFoldersLocation();

// The folder remembered under the value name; the current directory when none is remembered or it
// cannot be read. Reports nothing.
std::string ReadRememberedFolder(std::string_view valueName);

// Remembers the folder under the value name. When the store cannot be written, shows the error
// box "Can't read system registry, COM setting will not be saved" once, and the folder is not
// remembered.
void WriteRememberedFolder(std::string_view folder, std::string_view valueName,
                           MessageBoxes& boxes);

}  // namespace klxr
