#include "log/file_writer.h"

namespace klxr {

FileStatus ReplaceFile(const std::string& path, std::string_view text, const FileHooks& hooks) {
  return ReplaceFile(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), hooks);
}

}  // namespace klxr
