#include "platform/file_system_roots.h"

#include <windows.h>

namespace klxr::platform {

std::vector<std::string> FileSystemRoots() {
  std::vector<std::string> roots;
  const DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if ((drives & (DWORD{1} << letter)) != 0) {
      roots.push_back(std::string(1, static_cast<char>('A' + letter)) + ":\\");
    }
  }
  return roots;
}

}  // namespace klxr::platform
