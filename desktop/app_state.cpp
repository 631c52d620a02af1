#include "desktop/app_state.h"

#include <filesystem>
#include <system_error>

namespace klxr {

std::optional<std::chrono::system_clock::time_point> LogFileTime(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_time_type modified =
      std::filesystem::last_write_time(std::filesystem::path(path), error);
  if (error) {
    return std::nullopt;
  }
  return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(modified));
}

std::string MainWindowTitle(std::string_view caption, std::optional<std::int64_t> survey) {
  return survey ? "Survey " + std::to_string(*survey) + " - " + std::string(caption)
                : std::string(caption);
}

}  // namespace klxr
