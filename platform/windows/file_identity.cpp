// A file's identity on Windows: its volume serial number and file index, which hard links share.
// Only files on a disk have one.
#include "platform/file_identity.h"

#include <io.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>

namespace klxr::platform {
namespace {

std::optional<FileIdentity> IdentityOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (GetFileType(handle) != FILE_TYPE_DISK ||
      GetFileInformationByHandle(handle, &information) == 0) {
    return std::nullopt;
  }
  return FileIdentity{information.dwVolumeSerialNumber,
                      (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow,
                      true};
}

}  // namespace

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
  const HANDLE handle = CreateFileW(std::filesystem::path(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  const std::optional<FileIdentity> identity = IdentityOfHandle(handle);
  CloseHandle(handle);
  return identity;
}

std::optional<FileIdentity> IdentityOfStandardStream(bool output) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(output ? stdout : stdin)));
  if (handle == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  return IdentityOfHandle(handle);
}

}  // namespace klxr::platform
