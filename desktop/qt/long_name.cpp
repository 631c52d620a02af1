#include "desktop/qt/long_name.h"

#ifdef _WIN32
#include <windows.h>

#include "desktop/qt/eight_bit_text.h"
#endif

namespace klxr {

#ifdef _WIN32

std::string LongNameOf(std::string_view name) {
  const std::wstring wide = PathToQString(name).toStdWString();
  const DWORD needed = GetLongPathNameW(wide.c_str(), nullptr, 0);
  if (needed == 0) {
    return std::string(name);
  }
  std::wstring longName(needed, L'\0');
  const DWORD written = GetLongPathNameW(wide.c_str(), longName.data(), needed);
  if (written == 0 || written >= needed) {
    return std::string(name);
  }
  longName.resize(written);
  return PathFromQString(QString::fromStdWString(longName));
}

#else

std::string LongNameOf(std::string_view name) {
  return std::string(name);
}

#endif

}  // namespace klxr
