#include "platform/full_path.h"

#include <windows.h>

namespace klxr::platform {

std::string CurrentDirectory() {
  std::string folder(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
    if (length == 0) {
      return {};
    }
    if (length < folder.size()) {
      folder.resize(length);
      return folder;
    }
    folder.resize(length);
  }
}

std::optional<std::string> MakeFullPath(std::string_view name) {
  if (name.empty()) {
    return std::nullopt;
  }
  const std::string relative(name);
  std::string full(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameA(relative.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) {
      return std::nullopt;
    }
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

char PathSeparator() {
  return '\\';
}

PathTarget LookUpPathTarget(std::string_view path) {
  const DWORD attributes = GetFileAttributesA(std::string(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return PathTarget::Missing;
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathTarget::Folder : PathTarget::File;
}

}  // namespace klxr::platform
