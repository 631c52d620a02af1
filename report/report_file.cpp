#include "report/report_file.h"

#include <span>

#include "log/whole_file.h"

namespace klxr::report {

int SaveReport(const LogImage& image, const ReportOptions& options, const std::string& path,
               MessageBoxes& boxes, bool quietMode) {
  const QByteArray pdf = RenderReport(image, options);
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(pdf.constData()),
                                            static_cast<std::size_t>(pdf.size()));
  switch (ReplaceFile(path, bytes)) {
    case FileStatus::Ok:
      return 0;
    case FileStatus::CannotOpen:
      if (!quietMode) {
        ShowMessage(boxes, msg::kCantSaveProgramImage, BoxKind::Error);
      }
      return -1;
    case FileStatus::WriteFailed:
      break;
  }
  ShowMessage(boxes, msg::kCantSaveProgramImage, BoxKind::Error);
  return -1;
}

}  // namespace klxr::report
