#include "platform/environment.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>

namespace klxr::platform {

std::string EnvironmentValue(const char* name) {
  // The process environment itself (which _putenv_s and the parent process set), through the
  // system: the runtime's _dupenv_s is missing from the system's own C runtime DLL.
  const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0) {
    return {};
  }
  std::string value(size, '\0');
  const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

// The runtime's _putenv_s changes both the runtime's copy and the system's environment block.
void SetEnvironmentValue(const char* name, const std::string& value) {
  _putenv_s(name, value.c_str());
}

// An empty value removes the variable.
void ClearEnvironmentValue(const char* name) {
  _putenv_s(name, "");
}

}  // namespace klxr::platform
