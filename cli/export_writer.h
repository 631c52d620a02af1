// The formats "export" writes a log in, shared with "history export": the program's CSV (byte for
// byte as its "Export (.csv)"), and the tidy CSV and JSON made for analysis.
#pragma once

#include <string>
#include <string_view>

#include "cli/cli_command.h"
#include "log/log_image.h"
#include "log/tidy_export.h"

namespace klxr::cli {

enum class ExportFormat { Csv, TidyCsv, Json };

// The format of that name ("csv", "tidy-csv", "json"); false for any other name.
bool FormatNamed(std::string_view name, ExportFormat& format);

// Writes the first count records of the image in the format to out ("-": standard output);
// returns the exit status, a failure reported.
int WriteExport(const LogImage& image, int count, ExportFormat format, const SurveyFacts& facts,
                const std::string& out, CliContext& context);

}  // namespace klxr::cli
