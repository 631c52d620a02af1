#include "log/file_hooks.h"

#include <algorithm>

#include "platform/file_streams.h"

namespace klxr {
namespace {

// Writes go out in blocks of this size, so a failure can strike in the middle of a file.
constexpr std::size_t kWriteBlockSize = 16 * 1024;

}  // namespace

std::size_t ReadUpTo(std::FILE* stream, std::span<std::uint8_t> buffer, const FileHooks& hooks) {
  std::size_t total = 0;
  while (total < buffer.size()) {
    std::uint8_t* data = buffer.data() + total;
    const std::size_t size = buffer.size() - total;
    const std::size_t count =
        hooks.read ? hooks.read(stream, data, size) : std::fread(data, 1, size, stream);
    if (count == 0) {
      break;
    }
    total += count;
  }
  return total;
}

bool WriteAll(std::FILE* stream, std::span<const std::uint8_t> bytes, const FileHooks& hooks) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const std::size_t block = std::min(kWriteBlockSize, bytes.size() - written);
    const std::uint8_t* data = bytes.data() + written;
    const std::size_t count =
        hooks.write ? hooks.write(stream, data, block) : std::fwrite(data, 1, block, stream);
    if (count != block) {
      return false;
    }
    written += block;
  }
  return std::fflush(stream) == 0 && std::ferror(stream) == 0;
}

bool SyncToDisk(std::FILE* stream, const FileHooks& hooks) {
  return hooks.sync ? hooks.sync(stream) : platform::SyncFileToDisk(stream);
}

}  // namespace klxr
