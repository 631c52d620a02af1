#include "log/file_reader.h"

#ifdef _WIN32
#include <filesystem>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace klxr {
namespace {

#ifdef _WIN32
// Opens a regular file for reading; devices, pipes and folders are refused.
std::FILE* OpenRegularFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
    return nullptr;
  }
  return std::fopen(path.c_str(), "rb");
}
#else
// Opens a regular file for reading. The open does not wait (a FIFO without a writer would block
// it), and the kind of file is checked on the open descriptor, so nothing can swap it in between.
std::FILE* OpenRegularFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return nullptr;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* stream = fdopen(fd, "rb");
  if (stream == nullptr) {
    close(fd);
  }
  return stream;
}
#endif

}  // namespace

FileStatus ReadFileStart(const std::string& path, std::span<std::uint8_t> buffer,
                         std::size_t& bytesRead, const FileHooks& hooks) {
  bytesRead = 0;
  std::FILE* stream = OpenRegularFile(path);
  if (stream == nullptr) {
    return FileStatus::CannotOpen;
  }
  bytesRead = ReadUpTo(stream, buffer, hooks);
  std::fclose(stream);
  return FileStatus::Ok;
}

FileStatus ReadStreamStart(std::FILE* stream, std::span<std::uint8_t> buffer,
                           std::size_t& bytesRead, const FileHooks& hooks) {
  bytesRead = 0;
  if (stream == nullptr) {
    return FileStatus::CannotOpen;
  }
  bytesRead = ReadUpTo(stream, buffer, hooks);
  return FileStatus::Ok;
}

}  // namespace klxr
