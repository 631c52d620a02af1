#include "platform/data_folder.h"

#include "platform/environment.h"

namespace klxr::platform {

std::string UserDataFolder() {
  for (const char* name : {"LOCALAPPDATA", "APPDATA", "USERPROFILE"}) {
    std::string folder = EnvironmentValue(name);
    if (!folder.empty()) {
      return folder;
    }
  }
  return ".";
}

}  // namespace klxr::platform
