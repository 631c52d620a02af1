#include "platform/file_streams.h"

#include <io.h>
#include <windows.h>

#include <filesystem>
#include <system_error>

namespace klxr::platform {

// Devices, pipes and folders are refused before the file is opened.
std::FILE* OpenRegularFileForReading(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
    return nullptr;
  }
  return std::fopen(path.c_str(), "rb");
}

bool SyncFileToDisk(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

}  // namespace klxr::platform
