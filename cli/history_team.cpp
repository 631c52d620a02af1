// klxr-log-cli history --team, and history team init: the team archive on its PostgreSQL server,
// asked directly: its surveys, one survey, a channel across them. The server is the one the
// KLXR_TEAM_ARCHIVE connection string names.
#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "archive/team/team_archive.h"
#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "cli/history_commands.h"
#include "cli/history_team.h"
#include "cli/option_values.h"
#include "log/data_text.h"
#include "log/record_format.h"

namespace klxr::cli {
namespace {

// Takes --format text|json and the other value options named; the operands named must follow.
struct TeamArguments {
  bool json = false;
  std::map<std::string, std::string, std::less<>> values;
  std::vector<std::string> operands;
};

std::optional<TeamArguments> TakeTeamArguments(const std::vector<std::string>& arguments,
                                               std::string_view command,
                                               std::vector<std::string_view> options,
                                               const std::vector<std::string_view>& operands,
                                               CliContext& context) {
  options.push_back("--format");
  const OptionValues values = TakeOptionValues(arguments, options);
  const ParsedArguments parsed = values.error.empty() ? ParseArguments(values.rest, {}, operands)
                                                      : ParsedArguments{{}, {}, values.error};
  std::string error = parsed.error;
  const auto format = values.values.find("--format");
  if (error.empty() && format != values.values.end() && format->second != "text" &&
      format->second != "json") {
    error = "unknown format '" + format->second + "' (text or json)";
  }
  if (!error.empty()) {
    ReportUsageError(context, command, error);
    return std::nullopt;
  }
  return TeamArguments{format != values.values.end() && format->second == "json", values.values,
                       parsed.operands};
}

std::string TeamSurveyJson(const archive::TeamSurvey& team) {
  std::string json = SurveyJson(team.survey);
  json.insert(json.size() - 1, ", \"pushed_by\": " + JsonString(team.pushedBy) +
                                   ", \"pushed_from\": " + JsonString(team.pushedFrom) +
                                   ", \"pushed_at\": " + JsonString(team.pushedAt));
  return json;
}

int ListTeamSurveys(const std::vector<std::string>& arguments, CliContext& context) {
  const auto taken = TakeTeamArguments(arguments, "history --team", {"--site"}, {}, context);
  if (!taken) {
    return kExitUsage;
  }
  const auto team = OpenTeamArchive(context);
  if (!team) {
    return kExitFailure;
  }
  const auto site = taken->values.find("--site");
  const auto surveys = team->List({site == taken->values.end() ? "" : site->second, ""});
  if (!surveys) {
    return ReportHistoryProblem(context, surveys.Problem());
  }
  std::string text =
      taken->json ? "[" : "id\tread (UTC)\tsite\trecords\tcomplete\tpushed by\tpushed from\n";
  for (const archive::TeamSurvey& teamSurvey : surveys.Value()) {
    const archive::SurveySummary& survey = teamSurvey.survey;
    if (taken->json) {
      text += (text.size() > 1 ? ",\n  " : "\n  ") + TeamSurveyJson(teamSurvey);
    } else {
      text += std::to_string(survey.id) + "\t" + survey.readUtc + "\t" + survey.site + "\t" +
              std::to_string(survey.recordCount) + "\t" +
              (survey.complete ? "complete" : "incomplete") + "\t" + teamSurvey.pushedBy + "\t" +
              teamSurvey.pushedFrom + "\n";
    }
  }
  if (taken->json) {
    text += surveys.Value().empty() ? "]\n" : "\n]\n";
  }
  return WriteToOutput(context, text) ? kExitOk : kExitFailure;
}

int ShowTeamSurvey(const std::vector<std::string>& arguments, CliContext& context) {
  const auto taken = TakeTeamArguments(arguments, "history --team show", {}, {"ID"}, context);
  if (!taken) {
    return kExitUsage;
  }
  const auto team = OpenTeamArchive(context);
  const auto found = team ? team->Find(taken->operands[0])
                          : archive::ArchiveResult<archive::TeamSurvey>::Failure("");
  if (!found) {
    return team ? ReportHistoryProblem(context, found.Problem()) : kExitFailure;
  }
  const auto image = team->Image(found.Value().survey.id);
  if (!image) {
    return ReportHistoryProblem(context, image.Problem());
  }
  if (taken->json) {
    return WriteToOutput(context, TeamSurveyJson(found.Value()) + "\n") ? kExitOk : kExitFailure;
  }
  const archive::SurveySummary& survey = found.Value().survey;
  const std::string facts =
      "survey\t" + std::to_string(survey.id) + "\nsha256\t" + survey.sha256 + "\nread\t" +
      survey.readUtc + " (" + survey.timeZone + ")\nmeter\t" + survey.meterVersion.value_or("-") +
      "\nadapter\t" + survey.adapterSerial.value_or("-") + "\nsource\t" + survey.source +
      "\nrecords\t" + std::to_string(survey.recordCount) + "\ncomplete\t" +
      (survey.complete ? "yes" : "no") + "\nsite\t" + survey.site + "\nnote\t" + survey.note +
      "\npushed\t" + found.Value().pushedAt + " by " + found.Value().pushedBy + " from " +
      found.Value().pushedFrom + "\n\n";
  if (!WriteToOutput(context, facts)) {
    return kExitFailure;
  }
  const int count = CountRecords(image.Value(), nullptr);
  return PrintDisplayLines(image.Value(), count, kUnitsDbm, context.out)
             ? kExitOk
             : ReportOutputFailure(context, errno);
}

int TeamChannel(const std::vector<std::string>& arguments, CliContext& context) {
  const auto taken =
      TakeTeamArguments(arguments, "history --team channel", {"--site"}, {"NAME|FREQ"}, context);
  if (!taken) {
    return kExitUsage;
  }
  const auto team = OpenTeamArchive(context);
  if (!team) {
    return kExitFailure;
  }
  const auto site = taken->values.find("--site");
  const auto readings = team->ChannelHistory(
      taken->operands[0], site == taken->values.end() ? "" : std::string_view(site->second));
  if (!readings) {
    return ReportHistoryProblem(context, readings.Problem());
  }
  std::string text = taken->json ? "["
                                 : "survey\tread (UTC)\tsite\tfrequency (MHz)\tchannel\tkind\t"
                                   "level (dBuV)\tC/N (dB)\tMER (dB)\tBER\tstatus\n";
  for (const archive::ChannelReading& reading : readings.Value()) {
    text += taken->json ? (text.size() > 1 ? ",\n  " : "\n  ") + ReadingJson(reading)
                        : ReadingText(reading);
  }
  if (taken->json) {
    text += readings.Value().empty() ? "]\n" : "\n]\n";
  }
  return WriteToOutput(context, text) ? kExitOk : kExitFailure;
}

}  // namespace

std::optional<std::string> TeamConnectionString(CliContext& context) {
  if (!archive::TeamArchiveAvailable()) {
    ReportHistoryProblem(context, std::string(archive::kNoTeamArchiveText));
    return std::nullopt;
  }
  const char* connection = std::getenv(archive::kTeamArchiveVariable);
  if (connection == nullptr || connection[0] == '\0') {
    ReportHistoryProblem(context, "no team archive is named: set " +
                                      std::string(archive::kTeamArchiveVariable) +
                                      " to its connection string (see \"help history\")");
    return std::nullopt;
  }
  return std::string(connection);
}

std::unique_ptr<archive::TeamArchive> OpenTeamArchive(CliContext& context) {
  const auto connection = TeamConnectionString(context);
  if (!connection) {
    return nullptr;
  }
  auto opened = archive::TeamArchive::Open(*connection);
  if (!opened) {
    ReportHistoryProblem(context, opened.Problem());
    return nullptr;
  }
  return std::move(opened).Value();
}

int HistoryTeam(const std::vector<std::string>& arguments, CliContext& context) {
  const ParsedArguments parsed = ParseArguments(arguments, {}, {"init"});
  if (!parsed.error.empty() || parsed.operands[0] != "init") {
    return ReportUsageError(
        context, "history team",
        parsed.error.empty() ? "unknown command '" + parsed.operands[0] + "'" : parsed.error);
  }
  const auto connection = TeamConnectionString(context);
  if (!connection) {
    return kExitFailure;
  }
  const auto team = archive::TeamArchive::Initialize(*connection);
  if (!team) {
    return ReportHistoryProblem(context, team.Problem());
  }
  context.err << "klxr-log-cli history: the team archive is ready (schema version "
              << archive::kTeamSchemaVersion << ")\n";
  return kExitOk;
}

int TeamHistory(const std::vector<std::string>& arguments, CliContext& context) {
  if (!arguments.empty() && arguments.front() == "show") {
    return ShowTeamSurvey({arguments.begin() + 1, arguments.end()}, context);
  }
  if (!arguments.empty() && arguments.front() == "channel") {
    return TeamChannel({arguments.begin() + 1, arguments.end()}, context);
  }
  return ListTeamSurveys(arguments, context);
}

}  // namespace klxr::cli
