#include "report/report_file.h"

#include <filesystem>
#include <span>
#include <system_error>

#include "log/log_files.h"
#include "log/whole_file.h"

namespace klxr::report {

int SaveReport(const LogImage& image, const ReportOptions& options, const std::string& path,
               MessageBoxes& boxes, bool quietMode) {
  const std::string pdf = RenderReport(image, options);
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(pdf.data()),
                                            pdf.size());
  return ReportWriteOutcome(ReplaceFile(path, bytes), boxes, quietMode);
}

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

}  // namespace klxr::report
