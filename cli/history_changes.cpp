// history export, label, import and forget: writing a survey out as the files it came from, and
// the commands that change the archive.
#include <filesystem>
#include <utility>

#include "archive/archive_import.h"
#include "archive/archive_location.h"
#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/export_writer.h"
#include "cli/file_operands.h"
#include "cli/history_commands.h"
#include "cli/option_values.h"
#include "log/log_files.h"

namespace klxr::cli {
namespace {

// The facts of a survey as the files made for analysis carry them.
SurveyFacts ExportFactsOf(const archive::SurveySummary& survey) {
  return {std::to_string(survey.id), survey.readUtc, survey.site};
}

int WriteSurveyImage(const LogImage& image, const std::string& out, CliContext& context) {
  if (IsStandardStream(out)) {
    return WriteToOutput(context,
                         std::string_view(reinterpret_cast<const char*>(image.bytes.data()),
                                          image.bytes.size()))
               ? kExitOk
               : kExitFailure;
  }
  return SaveLogFile(image, out, context.boxes, false) == 0 ? kExitOk : kExitFailure;
}

}  // namespace

int HistoryExport(const std::vector<std::string>& arguments, CliContext& context) {
  const OptionValues values = TakeOptionValues(arguments, {"--format"});
  const ParsedArguments parsed = values.error.empty()
                                     ? ParseArguments(values.rest, {}, {"ID", "OUT"})
                                     : ParsedArguments{{}, {}, values.error};
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "history export", parsed.error);
  }
  const auto named = values.values.find("--format");
  const std::string formatName = named == values.values.end() ? "tlg" : named->second;
  ExportFormat format = ExportFormat::Csv;
  if (formatName != "tlg" && !FormatNamed(formatName, format)) {
    return ReportUsageError(context, "history export",
                            "unknown format '" + formatName + "' (tlg, csv, tidy-csv or json)");
  }
  const auto archive = OpenHistoryArchive(context);
  const auto survey = archive ? FindSurvey(*archive, parsed.operands[0], context) : std::nullopt;
  if (!survey) {
    return kExitFailure;
  }
  const auto image = archive->Image(survey->id);
  if (!image) {
    return ReportHistoryProblem(context, image.Problem());
  }
  const std::string& out = parsed.operands[1];
  if (formatName == "tlg") {
    return WriteSurveyImage(image.Value(), out, context);
  }
  const int count = CountRecordsOrReport(image.Value(), context.boxes);
  if (count == 0 && format == ExportFormat::Csv) {
    return kExitFailure;
  }
  return WriteExport(image.Value(), count, format, ExportFactsOf(*survey), out, context);
}

int HistoryLabel(const std::vector<std::string>& arguments, CliContext& context) {
  const OptionValues values = TakeOptionValues(arguments, {"--note"});
  const ParsedArguments parsed = values.error.empty()
                                     ? ParseArguments(values.rest, {}, {"ID", "SITE"})
                                     : ParsedArguments{{}, {}, values.error};
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "history label", parsed.error);
  }
  std::optional<std::string> note;
  if (const auto given = values.values.find("--note"); given != values.values.end()) {
    note = given->second;
  }
  const auto archive = OpenHistoryArchive(context);
  const auto survey = archive ? FindSurvey(*archive, parsed.operands[0], context) : std::nullopt;
  if (!survey) {
    return kExitFailure;
  }
  const auto labelled = archive->Label(survey->id, parsed.operands[1], note);
  return labelled ? kExitOk : ReportHistoryProblem(context, labelled.Problem());
}

int HistoryForget(const std::vector<std::string>& arguments, CliContext& context) {
  const ParsedArguments parsed = ParseArguments(arguments, {}, {"ID"});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "history forget", parsed.error);
  }
  const auto archive = OpenHistoryArchive(context);
  const auto survey = archive ? FindSurvey(*archive, parsed.operands[0], context) : std::nullopt;
  if (!survey) {
    return kExitFailure;
  }
  const auto forgotten = archive->Forget(survey->id);
  if (!forgotten) {
    return ReportHistoryProblem(context, forgotten.Problem());
  }
  context.err << "klxr-log-cli history: survey " << survey->id << " forgotten\n";
  return kExitOk;
}

int HistoryImport(const std::vector<std::string>& arguments, CliContext& context) {
  const OptionValues values = TakeOptionValues(arguments, {"--site"});
  if (!values.error.empty()) {
    return ReportUsageError(context, "history import", values.error);
  }
  std::vector<std::string> files;
  bool operandsOnly = false;
  for (const std::string& argument : values.rest) {
    if (!operandsOnly && argument == "--") {
      operandsOnly = true;
    } else if (!operandsOnly && argument.size() > 1 && argument[0] == '-') {
      return ReportUsageError(context, "history import", "unknown option '" + argument + "'");
    } else {
      files.push_back(argument);
    }
  }
  if (files.empty()) {
    return ReportUsageError(context, "history import", "missing operand FILE.tlg");
  }
  const auto site = values.values.find("--site");
  const auto archive = OpenHistoryArchive(context);
  if (!archive) {
    return kExitFailure;
  }
  int status = kExitOk;
  for (const std::string& file : files) {
    LogImage image;
    if (IsStandardStream(file) || LoadLogFile(image, file, nullptr, context.boxes, false) != 0) {
      context.err << "klxr-log-cli history import: '" << file << "' was not imported\n";
      status = kExitFailure;
      continue;
    }
    const auto stored = archive->Store(
        image, archive::ImportFacts(file, site == values.values.end() ? "" : site->second));
    if (!stored) {
      return ReportHistoryProblem(context, stored.Problem());
    }
    context.out << stored.Value().id << "\t" << (stored.Value().isNew ? "new" : "known") << "\t"
                << file << "\n";
  }
  return status;
}

SurveyLookup ArchiveSurveyLookup() {
  return [](const std::string& name, LogImage& image, SurveyFacts& facts,
            CliContext& context) -> LookupOutcome {
    // Comparing files makes no archive where there is none.
    std::error_code error;
    const std::string file = archive::ArchiveFile();
    if (!archive::ArchiveAvailable() || !std::filesystem::is_regular_file(file, error)) {
      return LookupOutcome::NotFound;
    }
    const auto archive = archive::SurveyArchive::Open(file);
    const auto survey = archive ? archive.Value()->Find(name)
                                : archive::ArchiveResult<archive::SurveySummary>::Failure("");
    if (!survey) {
      return LookupOutcome::NotFound;
    }
    const auto stored = archive.Value()->Image(survey.Value().id);
    if (!stored) {
      ReportHistoryProblem(context, stored.Problem());
      return LookupOutcome::Failed;
    }
    image = stored.Value();
    facts = ExportFactsOf(survey.Value());
    return LookupOutcome::Found;
  };
}

}  // namespace klxr::cli
