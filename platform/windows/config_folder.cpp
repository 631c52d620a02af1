#include "platform/config_folder.h"

#include <cstdlib>

namespace klxr::platform {

std::string UserConfigFolder() {
  for (const char* name : {"APPDATA", "USERPROFILE"}) {
    const char* folder = std::getenv(name);
    if (folder != nullptr && *folder != '\0') {
      return folder;
    }
  }
  return ".";
}

}  // namespace klxr::platform
