// The Windows side of ReplaceFile: a device is written into; a regular file is written to a new
// temporary file beside it, flushed to the disk and moved over it (ReplaceFileW keeps the old
// file's attributes and security); a read-only file is refused; a file with more than one hard
// link is written in place.
#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// <windows.h> maps ReplaceFile to ReplaceFileW, which would rename this file's klxr::ReplaceFile.
#undef ReplaceFile

#include <cerrno>
#include <filesystem>
#include <random>

#include "log/file_writer.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;

constexpr int kTemporaryNameAttempts = 1000;

struct ExistingFile {
  bool exists = false;
  bool refused = false;  // a folder or a read-only file
  bool disk = true;      // false for a device or a pipe
  DWORD links = 1;
};

ExistingFile Inspect(const fs::path& path) {
  ExistingFile file;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return file;
  }
  file.exists = true;
  file.disk = GetFileType(handle) == FILE_TYPE_DISK;
  BY_HANDLE_FILE_INFORMATION information{};
  if (file.disk && GetFileInformationByHandle(handle, &information)) {
    file.links = information.nNumberOfLinks;
  }
  CloseHandle(handle);
  file.refused = file.disk && attributes != INVALID_FILE_ATTRIBUTES &&
                 (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0;
  return file;
}

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

FileStatus WriteAndClose(std::FILE* stream, std::span<const std::uint8_t> bytes,
                         const FileHooks& hooks, bool sync) {
  if (stream == nullptr) {
    return FileStatus::CannotOpen;
  }
  const bool written = WriteAll(stream, bytes, hooks) && (!sync || SyncToDisk(stream, hooks));
  const bool closed = std::fclose(stream) == 0;
  return written && closed ? FileStatus::Ok : FileStatus::WriteFailed;
}

// Sets the end of the file at size (the handle's position moves there, then back to the start).
bool SetFileSize(HANDLE handle, std::size_t size) {
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  const LARGE_INTEGER start{};
  return SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle) &&
         SetFilePointerEx(handle, start, nullptr, FILE_BEGIN);
}

// A file on a disk is written over its own clusters: the space for the new contents is reserved
// (the file grown to the new size) before any old byte is touched, so a full disk leaves the old
// contents as they were; the file is cut to the new length once every byte is written.
FileStatus WriteInPlace(const fs::path& path, std::span<const std::uint8_t> bytes,
                        const FileHooks& hooks, bool disk) {
  const HANDLE handle =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                  disk ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (!disk || handle == INVALID_HANDLE_VALUE) {
    return WriteAndClose(StreamOf(handle), bytes, hooks, disk);
  }
  LARGE_INTEGER oldSize{};
  if (!GetFileSizeEx(handle, &oldSize) ||
      (static_cast<std::uint64_t>(oldSize.QuadPart) < bytes.size() &&
       !SetFileSize(handle, bytes.size()))) {
    CloseHandle(handle);
    return FileStatus::WriteFailed;
  }
  std::FILE* stream = StreamOf(handle);
  if (stream == nullptr) {
    return FileStatus::CannotOpen;
  }
  const bool written = WriteAll(stream, bytes, hooks) &&
                       _chsize_s(_fileno(stream), static_cast<long long>(bytes.size())) == 0 &&
                       SyncToDisk(stream, hooks);
  const bool closed = std::fclose(stream) == 0;
  return written && closed ? FileStatus::Ok : FileStatus::WriteFailed;
}

// A new file under a short random hidden name in the target's folder.
std::FILE* CreateTemporaryFile(const fs::path& folder, fs::path& temporary) {
  static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  std::mt19937_64 random(std::random_device{}());
  std::uniform_int_distribution<std::size_t> pick(0, 35);
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    std::wstring name = L".klxr-";
    for (int index = 0; index < 10; ++index) {
      name += kLetters[pick(random)];
    }
    temporary = folder / name;
    const HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
      return StreamOf(handle);
    }
  }
  return nullptr;
}

FileStatus ReplaceAtomically(const fs::path& path, bool exists, std::span<const std::uint8_t> bytes,
                             const FileHooks& hooks) {
  fs::path temporary;
  std::FILE* stream = CreateTemporaryFile(path.parent_path(), temporary);
  if (stream == nullptr) {
    return FileStatus::CannotOpen;
  }
  const FileStatus written = WriteAndClose(stream, bytes, hooks, true);
  if (written != FileStatus::Ok) {
    DeleteFileW(temporary.c_str());
    return written;
  }
  const BOOL moved = exists ? ReplaceFileW(path.c_str(), temporary.c_str(), nullptr,
                                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                            : MoveFileExW(temporary.c_str(), path.c_str(),
                                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!moved) {
    DeleteFileW(temporary.c_str());
    return FileStatus::CannotOpen;
  }
  return FileStatus::Ok;
}

}  // namespace

FileStatus ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                       const FileHooks& hooks) {
  const fs::path target(path);
  if (target.filename().empty()) {
    return FileStatus::CannotOpen;
  }
  const ExistingFile existing = Inspect(target);
  if (existing.refused) {
    return FileStatus::CannotOpen;
  }
  if (existing.exists && (!existing.disk || existing.links > 1)) {
    return WriteInPlace(target, bytes, hooks, existing.disk);
  }
  return ReplaceAtomically(target, existing.exists, bytes, hooks);
}

HeldOutput::~HeldOutput() = default;

// Windows has no FIFO whose reader would see the end of its input: nothing is held open.
void HeldOutput::Hold(int descriptor) {
  descriptor_ = descriptor;
}

FileStatus CheckFileCanBeWritten(const std::string& path, OutputCheck* check) {
  const fs::path target(path);
  const ExistingFile existing = Inspect(target);
  std::error_code error;
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  int refusal = 0;
  if (target.filename().empty() || existing.refused) {
    refusal = fs::is_directory(target, error) || target.filename().empty() ? EISDIR : EACCES;
  } else if (!existing.exists && !fs::is_directory(folder, error)) {
    refusal = ENOENT;
  }
  if (check != nullptr) {
    check->error = refusal;
  }
  return refusal == 0 ? FileStatus::Ok : FileStatus::CannotOpen;
}

}  // namespace klxr

#endif
