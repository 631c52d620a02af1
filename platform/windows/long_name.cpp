#include "platform/long_name.h"

#include <windows.h>

namespace klxr::platform {

std::string LongNameOf(std::string_view name) {
  const std::string shortName(name);
  const DWORD needed = GetLongPathNameA(shortName.c_str(), nullptr, 0);
  if (needed == 0) {
    return shortName;
  }
  std::string longName(needed, '\0');
  const DWORD written = GetLongPathNameA(shortName.c_str(), longName.data(), needed);
  if (written == 0 || written >= needed) {
    return shortName;
  }
  longName.resize(written);
  return longName;
}

}  // namespace klxr::platform
