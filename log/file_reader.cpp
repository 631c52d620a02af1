#include "log/file_reader.h"

#include "platform/file_streams.h"

namespace klxr {

FileStatus ReadFileStart(const std::string& path, std::span<std::uint8_t> buffer,
                         std::size_t& bytesRead, const FileHooks& hooks) {
  bytesRead = 0;
  std::FILE* stream = platform::OpenRegularFileForReading(path);
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
