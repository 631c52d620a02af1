// The running program's file, as the system loaded it (GetModuleFileName).
#include "platform/program_file.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace klxr::platform {

std::filesystem::path RunningProgramFile() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return {};
    }
    if (length < buffer.size()) {
      buffer.resize(length);
      return std::filesystem::path(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return {};
  }
  const std::string file(path, length);
  const std::size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

}  // namespace klxr::platform
