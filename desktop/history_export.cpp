#include "desktop/history_export.h"

#include "log/log_files.h"

namespace klxr {

const HistoryExportChoice& ExportChoice(HistoryExportFormat format) {
  for (const HistoryExportChoice& choice : kHistoryExportChoices) {
    if (choice.format == format) {
      return choice;
    }
  }
  return kHistoryExportChoices.front();
}

int WriteSurveyExport(const LogImage& image, HistoryExportFormat format, const SurveyFacts& facts,
                      const std::string& path, MessageBoxes& boxes, bool quietMode) {
  switch (format) {
    case HistoryExportFormat::Csv:
      return ExportCsv(image, path, CountRecords(image, nullptr), boxes, quietMode);
    case HistoryExportFormat::TidyCsv:
      return ExportTidyCsv(image, facts, path, boxes, quietMode);
    case HistoryExportFormat::Json:
      return ExportRecordsJson(image, facts, path, boxes, quietMode);
    case HistoryExportFormat::Tlg:
      break;
  }
  return SaveLogFile(image, path, boxes, quietMode);
}

}  // namespace klxr
