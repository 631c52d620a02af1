// The files a survey of the archive can be exported as, from the "History" window: the .tlg log it
// was, the program's CSV (as "Ex&port (.csv)" writes it), the tidy CSV for analysis, or JSON. The
// user picks the format in the window; the chooser then lists and names files of that format.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "desktop/chooser_command.h"
#include "log/log_image.h"
#include "log/tidy_export.h"
#include "resources/message_catalogue.h"

namespace klxr {

enum class HistoryExportFormat { Tlg, Csv, TidyCsv, Json };

struct HistoryExportChoice {
  HistoryExportFormat format;
  std::string_view name;  // as the window lists it
  ChooserCommand chooser;
};

// In the order the window lists them. A .tlg file starts in the folder of Save, the others in the
// folder of the CSV export.
inline constexpr std::array<HistoryExportChoice, 4> kHistoryExportChoices{{
    {HistoryExportFormat::Tlg, "Log file (.tlg)", {kLogSaveDir, true, ".tlg;", ".tlg"}},
    {HistoryExportFormat::Csv, "CSV (.csv)", {kExportDir, true, ".csv;", ".csv"}},
    {HistoryExportFormat::TidyCsv,
     "Tidy CSV for analysis (.csv)",
     {kExportDir, true, ".csv;", ".csv"}},
    {HistoryExportFormat::Json, "JSON for analysis (.json)", {kExportDir, true, ".json;", ".json"}},
}};

const HistoryExportChoice& ExportChoice(HistoryExportFormat format);

// Writes the image in the format to the file at path, replacing it the way every file of the
// program is replaced; facts name the survey in the files made for analysis. Results and reports
// as for SaveLogFile: 0 when written, -1 with "Can't save program image".
int WriteSurveyExport(const LogImage& image, HistoryExportFormat format, const SurveyFacts& facts,
                      const std::string& path, MessageBoxes& boxes, bool quietMode);

}  // namespace klxr
