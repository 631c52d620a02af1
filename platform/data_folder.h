// Where a program keeps the current user's own data (the survey archive).
#pragma once

#include <string>

namespace klxr::platform {

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else ~/.local/share; on
// Windows the local application data folder (%LOCALAPPDATA%).
std::string UserDataFolder();

}  // namespace klxr::platform
