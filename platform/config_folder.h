// Where a program keeps the current user's settings.
#pragma once

#include <string>

namespace klxr::platform {

// The user's configuration folder: $XDG_CONFIG_HOME, else ~/.config; on Windows the roaming
// application data folder (%APPDATA%).
std::string UserConfigFolder();

}  // namespace klxr::platform
