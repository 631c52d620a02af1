#include "platform/utf8_name.h"

#include <windows.h>

namespace klxr::platform {

namespace {

// The code page the ANSI file functions use: the ANSI one unless the program set the OEM one.
UINT FileNameCodePage() {
  return AreFileApisANSI() ? CP_ACP : CP_OEMCP;
}

}  // namespace

std::optional<std::string> Utf8NameOf(std::string_view name) {
  if (name.empty()) {
    return std::string();
  }
  const int length = static_cast<int>(name.size());
  const int wideLength = MultiByteToWideChar(FileNameCodePage(), MB_ERR_INVALID_CHARS, name.data(),
                                             length, nullptr, 0);
  if (wideLength <= 0) {
    return std::nullopt;
  }
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(FileNameCodePage(), MB_ERR_INVALID_CHARS, name.data(), length, wide.data(),
                      wideLength);
  const int utf8Length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (utf8Length <= 0) {
    return std::nullopt;
  }
  std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                      nullptr);
  return utf8;
}

}  // namespace klxr::platform
