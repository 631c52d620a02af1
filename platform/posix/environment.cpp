#include "platform/environment.h"

#include <cstdlib>

namespace klxr::platform {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

void SetEnvironmentValue(const char* name, const std::string& value) {
  setenv(name, value.c_str(), 1);
}

void ClearEnvironmentValue(const char* name) {
  unsetenv(name);
}

}  // namespace klxr::platform
