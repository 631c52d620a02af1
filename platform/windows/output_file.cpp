// The Windows file system's side of writing an output: a device or pipe is written into; a regular
// file is replaced by moving a temporary file over it (ReplaceFileW keeps the old file's attributes
// and security); the read-only attribute refuses a file; a second hard link shows in the file's
// link count.
#include "platform/output_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <random>
#include <system_error>

namespace klxr::platform {
namespace {

namespace fs = std::filesystem;

constexpr int kTemporaryNameAttempts = 1000;
constexpr int kTemporaryRandomLength = 10;

// Opens a handle as a binary stdio stream; closes the handle when that fails.
std::FILE* StreamOf(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* stream = _fdopen(fd, "wb");
  if (stream == nullptr) {
    _close(fd);
  }
  return stream;
}

// Sets the end of the file at size (the handle's position moves there, then back to the start).
bool SetFileSize(HANDLE handle, std::uint64_t size) {
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  const LARGE_INTEGER start{};
  return SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle) &&
         SetFilePointerEx(handle, start, nullptr, FILE_BEGIN);
}

// Grows the file to size when it is shorter, so that the room is there before anything is written.
bool ReserveSize(HANDLE handle, std::uint64_t size) {
  LARGE_INTEGER oldSize{};
  return GetFileSizeEx(handle, &oldSize) &&
         (static_cast<std::uint64_t>(oldSize.QuadPart) >= size || SetFileSize(handle, size));
}

bool HasAttribute(const fs::path& path, DWORD attribute) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & attribute) != 0;
}

}  // namespace

// A name that cannot be opened for its attributes counts as missing: making the new file tells.
OutputTarget FindOutputTarget(const std::string& path) {
  OutputTarget target;
  target.path = path;
  const fs::path name(path);
  if (name.filename().empty()) {
    target.error = EISDIR;
    return target;
  }
  const HANDLE handle = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    target.kind = OutputKind::Missing;
    return target;
  }
  const bool disk = GetFileType(handle) == FILE_TYPE_DISK;
  BY_HANDLE_FILE_INFORMATION information{};
  if (disk && GetFileInformationByHandle(handle, &information)) {
    target.existing.links = information.nNumberOfLinks;
  }
  CloseHandle(handle);
  if (!disk) {
    target.kind = OutputKind::Special;
  } else if (HasAttribute(name, FILE_ATTRIBUTE_DIRECTORY)) {
    target.error = EISDIR;
  } else {
    target.kind = OutputKind::Regular;
  }
  return target;
}

bool MayWrite(const OutputTarget& target) {
  if (HasAttribute(fs::path(target.path), FILE_ATTRIBUTE_READONLY)) {
    errno = EACCES;
    return false;
  }
  return true;
}

bool ReplacementKeepsIdentity(const OutputTarget& target) {
  return target.existing.links <= 1;
}

int NewFileRefusal(const std::string& path) {
  const fs::path name(path);
  const fs::path folder = name.parent_path().empty() ? fs::path(".") : name.parent_path();
  std::error_code error;
  return fs::is_directory(folder, error) ? 0 : ENOENT;
}

int SpecialFileRefusal(const std::string&) {
  return 0;
}

// Windows has no FIFO whose reader would see the end of its input: nothing is held open.
int OpenSpecialFileToHold(const std::string&, int& descriptor) {
  descriptor = -1;
  return 0;
}

void CloseHeldFile(int) {}

std::FILE* OpenSpecialFile(const std::string& path) {
  return StreamOf(CreateFileW(fs::path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TemporaryFile CreateTemporaryBeside(const OutputTarget& target, bool) {
  static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  std::mt19937_64 random(std::random_device{}());
  std::uniform_int_distribution<std::size_t> pick(0, 35);
  const fs::path folder = fs::path(target.path).parent_path();
  TemporaryFile temporary;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    std::wstring name = L".klxr-";
    for (int index = 0; index < kTemporaryRandomLength; ++index) {
      name += kLetters[pick(random)];
    }
    temporary.path = folder / name;
    const HANDLE handle = CreateFileW(temporary.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
      temporary.stream = StreamOf(handle);
      return temporary;
    }
  }
  return temporary;
}

bool MoveOver(const fs::path& temporary, const std::string& path, bool replacing) {
  const fs::path target(path);
  return replacing ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                   : MoveFileExW(temporary.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const fs::path& path) {
  DeleteFileW(path.c_str());
}

std::FILE* OpenInPlace(const std::string& path, std::uint64_t size, bool& reserveFailed) {
  reserveFailed = false;
  const HANDLE handle = CreateFileW(fs::path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  if (!ReserveSize(handle, size)) {
    CloseHandle(handle);
    reserveFailed = true;
    return nullptr;
  }
  return StreamOf(handle);
}

bool CutToSize(std::FILE* stream, std::uint64_t size) {
  return _chsize_s(_fileno(stream), static_cast<long long>(size)) == 0;
}

}  // namespace klxr::platform
