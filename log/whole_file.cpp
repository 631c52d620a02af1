#include "log/whole_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace klxr {
namespace {

namespace fs = std::filesystem;

// Writes go out in blocks of this size, so a failure can strike in the middle of a file.
constexpr std::size_t kWriteBlockSize = 16 * 1024;
// Temporary names tried beside the target before giving up.
constexpr int kTemporaryNameAttempts = 100;

std::size_t ReadBlock(const FileHooks& hooks, std::FILE* stream, std::uint8_t* data,
                      std::size_t size) {
  return hooks.read ? hooks.read(stream, data, size) : std::fread(data, 1, size, stream);
}

std::size_t WriteBlock(const FileHooks& hooks, std::FILE* stream, const std::uint8_t* data,
                       std::size_t size) {
  return hooks.write ? hooks.write(stream, data, size) : std::fwrite(data, 1, size, stream);
}

// The file a write lands in: a symbolic link is followed so that its target is replaced, not the
// link itself.
fs::path WriteTarget(const std::string& path) {
  fs::path target(path);
  std::error_code error;
  if (fs::is_symlink(target, error)) {
    fs::path resolved = fs::weakly_canonical(target, error);
    if (!error) {
      return resolved;
    }
  }
  return target;
}

// Opens a new file for writing; fails when a file of that name is already there. The C runtime of
// Windows ignores fopen's "x", so there the exclusive creation is asked of the system directly.
std::FILE* CreateNewFile(const fs::path& path) {
#ifdef _WIN32
  const int descriptor =
      _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (descriptor < 0) {
    return nullptr;
  }
  std::FILE* stream = _fdopen(descriptor, "wb");
  if (stream == nullptr) {
    _close(descriptor);
  }
  return stream;
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

// Creates a new, empty temporary file beside the target: "<name>.<n>.partial". Exclusive creation
// ("x") never opens a file that is already there; a name in use moves on to the next number.
std::FILE* CreateTemporaryFile(const fs::path& target, fs::path& temporary) {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary = target;
    temporary += "." + std::to_string(attempt) + ".partial";
    if (std::FILE* stream = CreateNewFile(temporary)) {
      return stream;
    }
    std::error_code error;
    if (!fs::exists(temporary, error)) {
      return nullptr;  // failed for another reason than a name in use: no folder, no access
    }
  }
  return nullptr;
}

bool WriteAll(std::FILE* stream, std::span<const std::uint8_t> bytes, const FileHooks& hooks) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const std::size_t block = std::min(kWriteBlockSize, bytes.size() - written);
    if (WriteBlock(hooks, stream, bytes.data() + written, block) != block) {
      return false;
    }
    written += block;
  }
  return std::fflush(stream) == 0 && std::ferror(stream) == 0;
}

}  // namespace

FileStatus ReadFileStart(const std::string& path, std::span<std::uint8_t> buffer,
                         std::size_t& bytesRead, const FileHooks& hooks) {
  bytesRead = 0;
  std::error_code error;
  if (fs::is_directory(fs::path(path), error)) {
    return FileStatus::CannotOpen;
  }
  std::FILE* stream = std::fopen(path.c_str(), "rb");
  if (stream == nullptr) {
    return FileStatus::CannotOpen;
  }
  while (bytesRead < buffer.size()) {
    const std::size_t count =
        ReadBlock(hooks, stream, buffer.data() + bytesRead, buffer.size() - bytesRead);
    if (count == 0) {
      break;
    }
    bytesRead += count;
  }
  std::fclose(stream);
  return FileStatus::Ok;
}

FileStatus ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                       const FileHooks& hooks) {
  const fs::path target = WriteTarget(path);
  std::error_code error;
  if (target.filename().empty() || fs::is_directory(target, error)) {
    return FileStatus::CannotOpen;
  }
  fs::path temporary;
  std::FILE* stream = CreateTemporaryFile(target, temporary);
  if (stream == nullptr) {
    return FileStatus::CannotOpen;
  }
  const bool written = WriteAll(stream, bytes, hooks);
  const bool closed = std::fclose(stream) == 0;
  if (!written || !closed) {
    fs::remove(temporary, error);
    return FileStatus::WriteFailed;
  }
  fs::rename(temporary, target, error);
  if (error) {
    fs::remove(temporary, error);
    return FileStatus::CannotOpen;
  }
  return FileStatus::Ok;
}

FileStatus ReplaceFile(const std::string& path, std::string_view text, const FileHooks& hooks) {
  return ReplaceFile(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), hooks);
}

}  // namespace klxr
