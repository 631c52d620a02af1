#include "report/report_file.h"

#include <QFileInfo>
#include <span>

#include "log/log_files.h"
#include "log/whole_file.h"

namespace klxr::report {

int SaveReport(const LogImage& image, const ReportOptions& options, const std::string& path,
               MessageBoxes& boxes, bool quietMode) {
  const QByteArray pdf = RenderReport(image, options);
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(pdf.constData()),
                                            static_cast<std::size_t>(pdf.size()));
  return ReportWriteOutcome(ReplaceFile(path, bytes), boxes, quietMode);
}

QDateTime LogFileTime(const std::string& path) {
  const QFileInfo file(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
  return file.exists() ? file.lastModified() : QDateTime();
}

}  // namespace klxr::report
