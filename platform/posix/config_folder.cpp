#include "platform/config_folder.h"

#include <cstdlib>
#include <string_view>

namespace klxr::platform {
namespace {

std::string_view Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

}  // namespace

std::string UserConfigFolder() {
  const std::string_view configHome = Environment("XDG_CONFIG_HOME");
  if (!configHome.empty()) {
    return std::string(configHome);
  }
  std::string_view home = Environment("HOME");
  while (home.size() > 1 && home.back() == '/') {
    home.remove_suffix(1);
  }
  if (home.empty() || home == "/") {
    return "/.config";
  }
  return std::string(home) + "/.config";
}

}  // namespace klxr::platform
