#include "platform/directory_listing.h"

#include <windows.h>

namespace klxr::platform {

bool EnterReadableFolder(std::string_view path) {
  const std::string name(path);
  const DWORD attributes =
      name.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return false;
  }
  const char last = name.back();
  const std::string pattern = name + (last == '\\' || last == '/' ? "*" : "\\*");
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    // An empty drive has no entry at all, not even ".".
    if (GetLastError() != ERROR_FILE_NOT_FOUND) {
      return false;
    }
  } else {
    FindClose(search);
  }
  return SetCurrentDirectoryA(name.c_str()) != 0;
}

std::vector<DirectoryEntry> ReadCurrentFolder() {
  std::vector<DirectoryEntry> entries;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA("*", &found);
  if (search == INVALID_HANDLE_VALUE) {
    return entries;
  }
  // A drive's root gives no "..": it has no parent.
  do {
    const std::string name = found.cFileName;
    const DWORD attributes = found.dwFileAttributes;
    if (name == "." || (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
      continue;
    }
    entries.push_back({name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(search, &found) != 0);
  FindClose(search);
  return entries;
}

}  // namespace klxr::platform
