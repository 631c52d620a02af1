#include "report/report_file.h"

#include <span>

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

}  // namespace klxr::report
