// klxr-log-cli history: lists the surveys of the archive, shows one, and a channel's history
// across them; the other subcommands are in history_changes.cpp.
#include <string_view>

#include "archive/archive_location.h"
#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "cli/history_commands.h"
#include "cli/option_values.h"
#include "log/data_text.h"

namespace klxr::cli {

namespace {

enum class ListingFormat { Text, Json };

// Takes --format text|json; false after a usage error was reported.
bool TakeListingFormat(const std::vector<std::string>& arguments, std::string_view command,
                       ListingFormat& format, std::vector<std::string>& rest, CliContext& context) {
  const OptionValues values = TakeOptionValues(arguments, {"--format"});
  if (!values.error.empty()) {
    ReportUsageError(context, command, values.error);
    return false;
  }
  const auto named = values.values.find("--format");
  if (named != values.values.end() && named->second != "text" && named->second != "json") {
    ReportUsageError(context, command, "unknown format '" + named->second + "' (text or json)");
    return false;
  }
  format = named != values.values.end() && named->second == "json" ? ListingFormat::Json
                                                                   : ListingFormat::Text;
  rest = values.rest;
  return true;
}

std::string MeterText(const archive::SurveySummary& survey) {
  return survey.meterVersion    ? *survey.meterVersion
         : survey.adapterSerial ? *survey.adapterSerial
                                : "-";
}

int ListSurveys(const std::vector<std::string>& arguments, CliContext& context) {
  ListingFormat format = ListingFormat::Text;
  std::vector<std::string> rest;
  if (!TakeListingFormat(arguments, "history", format, rest, context)) {
    return kExitUsage;
  }
  if (!rest.empty()) {
    return ReportUsageError(context, "history", "unknown command '" + rest.front() + "'");
  }
  const auto archive = OpenHistoryArchive(context);
  if (!archive) {
    return kExitFailure;
  }
  const auto surveys = archive->List();
  if (!surveys) {
    return ReportHistoryProblem(context, surveys.Problem());
  }
  std::string text =
      format == ListingFormat::Json ? "[" : "id\tread (UTC)\tmeter\tsite\trecords\tcomplete\n";
  for (const archive::SurveySummary& survey : surveys.Value()) {
    if (format == ListingFormat::Json) {
      text += (&survey == surveys.Value().data() ? "\n  " : ",\n  ") + SurveyJson(survey);
    } else {
      text += std::to_string(survey.id) + "\t" + survey.readUtc + "\t" + MeterText(survey) + "\t" +
              survey.site + "\t" + std::to_string(survey.recordCount) + "\t" +
              (survey.complete ? "complete" : "incomplete") + "\n";
    }
  }
  if (format == ListingFormat::Json) {
    text += surveys.Value().empty() ? "]\n" : "\n]\n";
  }
  return WriteToOutput(context, text) ? kExitOk : kExitFailure;
}

}  // namespace

namespace {

std::string OptionalJson(const std::optional<std::string>& text) {
  return text ? JsonString(*text) : "null";
}

}  // namespace

std::string SurveyJson(const archive::SurveySummary& survey) {
  return "{\"id\": " + std::to_string(survey.id) + ", \"sha256\": " + JsonString(survey.sha256) +
         ", \"read_utc\": " + JsonString(survey.readUtc) +
         ", \"time_zone\": " + JsonString(survey.timeZone) +
         ", \"meter_version\": " + OptionalJson(survey.meterVersion) +
         ", \"adapter_serial\": " + OptionalJson(survey.adapterSerial) +
         ", \"source\": " + JsonString(survey.source) +
         ", \"record_count\": " + std::to_string(survey.recordCount) +
         ", \"complete\": " + (survey.complete ? "true" : "false") +
         ", \"site\": " + JsonString(survey.site) + ", \"note\": " + JsonString(survey.note) +
         ", \"sightings\": " + std::to_string(survey.sightings) + "}";
}

std::unique_ptr<archive::SurveyArchive> OpenHistoryArchive(CliContext& context) {
  const std::string file = archive::ArchiveFile();
  std::string problem = archive::ArchiveAvailable() ? archive::PrepareArchiveFolder(file)
                                                    : std::string(archive::kNoArchiveText);
  if (problem.empty()) {
    auto opened = archive::SurveyArchive::Open(file);
    if (opened) {
      return std::move(opened).Value();
    }
    problem = opened.Problem();
  }
  ReportHistoryProblem(context, problem);
  return nullptr;
}

std::optional<archive::SurveySummary> FindSurvey(archive::SurveyArchive& archive,
                                                 const std::string& name, CliContext& context) {
  auto found = archive.Find(name);
  if (!found) {
    ReportHistoryProblem(context, found.Problem());
    return std::nullopt;
  }
  return found.Value();
}

int ReportHistoryProblem(CliContext& context, const std::string& problem) {
  context.err << "klxr-log-cli history: " << problem << "\n";
  return kExitFailure;
}

int HistoryShow(const std::vector<std::string>& arguments, CliContext& context);
int HistoryChannel(const std::vector<std::string>& arguments, CliContext& context);

int RunHistory(const std::vector<std::string>& arguments, CliContext& context) {
  using Subcommand = int (*)(const std::vector<std::string>&, CliContext&);
  static constexpr struct {
    std::string_view name;
    Subcommand run;
  } kSubcommands[] = {{"show", HistoryShow},     {"export", HistoryExport},
                      {"label", HistoryLabel},   {"import", HistoryImport},
                      {"forget", HistoryForget}, {"channel", HistoryChannel},
                      {"team", HistoryTeam},     {"push", HistoryPush},
                      {"pull", HistoryPull},     {"--team", TeamHistory}};
  if (!arguments.empty()) {
    for (const auto& subcommand : kSubcommands) {
      if (arguments.front() == subcommand.name) {
        return subcommand.run({arguments.begin() + 1, arguments.end()}, context);
      }
    }
  }
  return ListSurveys(arguments, context);
}

}  // namespace klxr::cli
