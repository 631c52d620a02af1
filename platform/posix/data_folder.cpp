#include "platform/data_folder.h"

#include <string_view>

#include "platform/environment.h"

namespace klxr::platform {

std::string UserDataFolder() {
  // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
  const std::string dataHome = EnvironmentValue("XDG_DATA_HOME");
  if (!dataHome.empty() && dataHome.front() == '/') {
    return dataHome;
  }
  std::string home = EnvironmentValue("HOME");
  while (home.size() > 1 && home.back() == '/') {
    home.pop_back();
  }
  if (home.empty() || home == "/") {
    return "/.local/share";
  }
  return home + "/.local/share";
}

}  // namespace klxr::platform
