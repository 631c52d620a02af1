// klxr-log-cli export [--format csv|tidy-csv|json] [--site S] LOG.tlg OUT: the records of a log as
// the program's CSV file, byte for byte (the default), or as data for analysis. "-" reads the log
// from standard input or writes the file to standard output.
#include <string_view>

#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "cli/export_writer.h"
#include "cli/file_operands.h"
#include "cli/option_values.h"
#include "log/log_files.h"
#include "log/tidy_export.h"

namespace klxr::cli {

bool FormatNamed(std::string_view name, ExportFormat& format) {
  if (name == "csv") {
    format = ExportFormat::Csv;
  } else if (name == "tidy-csv") {
    format = ExportFormat::TidyCsv;
  } else if (name == "json") {
    format = ExportFormat::Json;
  } else {
    return false;
  }
  return true;
}

namespace {

std::string ExportText(const LogImage& image, int count, ExportFormat format,
                       const SurveyFacts& facts) {
  switch (format) {
    case ExportFormat::TidyCsv:
      return MakeTidyCsvText(image, facts);
    case ExportFormat::Json:
      return MakeRecordsJsonText(image, facts);
    case ExportFormat::Csv:
      break;
  }
  return MakeCsvText(image, count);
}

}  // namespace

int WriteExport(const LogImage& image, int count, ExportFormat format, const SurveyFacts& facts,
                const std::string& out, CliContext& context) {
  if (IsStandardStream(out)) {
    return WriteToOutput(context, ExportText(image, count, format, facts)) ? kExitOk : kExitFailure;
  }
  int result = 0;
  switch (format) {
    case ExportFormat::Csv:
      result = ExportCsv(image, out, count, context.boxes, false);
      break;
    case ExportFormat::TidyCsv:
      result = ExportTidyCsv(image, facts, out, context.boxes, false);
      break;
    case ExportFormat::Json:
      result = ExportRecordsJson(image, facts, out, context.boxes, false);
      break;
  }
  return result == 0 ? kExitOk : kExitFailure;
}

int RunExport(const std::vector<std::string>& arguments, CliContext& context) {
  const OptionValues values = TakeOptionValues(arguments, {"--format", "--site"});
  if (!values.error.empty()) {
    return ReportUsageError(context, "export", values.error);
  }
  ExportFormat format = ExportFormat::Csv;
  if (const auto named = values.values.find("--format");
      named != values.values.end() && !FormatNamed(named->second, format)) {
    return ReportUsageError(context, "export",
                            "unknown format '" + named->second + "' (csv, tidy-csv or json)");
  }
  const ParsedArguments parsed = ParseArguments(values.rest, {}, {"LOG.tlg", "OUT"});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "export", parsed.error);
  }
  const std::string& log = parsed.operands[0];
  const std::string& out = parsed.operands[1];
  if (RefuseSameFiles(context, "export", {{log, "LOG.tlg", false}, {out, "OUT", true}}) !=
      kExitOk) {
    return kExitUsage;
  }
  LogImage image;
  const int count = LoadCountedLog(log, image, context.boxes);
  if (count == 0) {
    return kExitFailure;
  }
  SurveyFacts facts;
  facts.readTime = IsStandardStream(log) ? "" : FileTimeText(log);
  if (const auto site = values.values.find("--site"); site != values.values.end()) {
    facts.site = site->second;
  }
  return WriteExport(image, count, format, facts, out, context);
}

}  // namespace klxr::cli
