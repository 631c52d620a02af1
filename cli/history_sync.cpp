// klxr-log-cli history push and pull: local surveys to the team archive and back. The server is
// reached before the local archive is opened, so that a server that cannot be reached, or refuses
// the role, leaves the local archive as it was. On a terminal, a line on standard error shows how
// far it is; Ctrl-C stops it between two surveys, what was moved staying moved.
#include <string_view>

#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "cli/history_commands.h"
#include "cli/history_team.h"
#include "cli/interrupt.h"
#include "cli/option_values.h"
#include "cli/read_progress.h"

namespace klxr::cli {
namespace {

constexpr int kBarWidth = 30;

// "Pushing to the team archive [#####     ] 3 of 10 surveys".
std::string SyncProgressText(std::string_view what, int done, int total) {
  const int filled = total == 0 ? kBarWidth : done * kBarWidth / total;
  return std::string(what) + " [" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] " +
         std::to_string(done) + " of " + std::to_string(total) + " surveys";
}

// The progress function of a push or pull: the line on a terminal, and Ctrl-C.
archive::SyncProgress ProgressOn(ProgressLine& line, std::string_view what,
                                 const CliContext& context) {
  const bool draw = context.errIsTerminal;
  return [&line, what, draw](int done, int total) {
    if (draw && total > 0) {
      line.Draw(SyncProgressText(what, done, total));
    }
    return !InterruptRequested();
  };
}

// "3 surveys sent, 2 already there, 1 label sent".
std::string OutcomeText(const archive::SyncOutcome& outcome, std::string_view moved,
                        std::string_view labels) {
  return std::to_string(outcome.moved) + (outcome.moved == 1 ? " survey " : " surveys ") +
         std::string(moved) + ", " + std::to_string(outcome.alreadyThere) + " already there, " +
         std::to_string(outcome.labels) + (outcome.labels == 1 ? " label " : " labels ") +
         std::string(labels) + "\n";
}

int Finish(const archive::ArchiveResult<archive::SyncOutcome>& outcome, ProgressLine& line,
           std::string_view moved, std::string_view labels, CliContext& context) {
  line.End();
  if (!outcome) {
    return ReportHistoryProblem(context, outcome.Problem());
  }
  if (!WriteToOutput(context, OutcomeText(outcome.Value(), moved, labels))) {
    return kExitFailure;
  }
  if (outcome.Value().stopped) {
    return ReportHistoryProblem(context, "stopped; the surveys moved so far stay");
  }
  return kExitOk;
}

// 'YYYY-MM-DD', the start of a day in UTC.
bool IsDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
    return false;
  }
  for (const std::size_t at : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[at] < '0' || text[at] > '9') {
      return false;
    }
  }
  return true;
}

}  // namespace

int HistoryPush(const std::vector<std::string>& arguments, CliContext& context) {
  std::vector<std::string> names;
  for (const std::string& argument : arguments) {
    if (argument.size() > 1 && argument[0] == '-') {
      return ReportUsageError(context, "history push", "unknown option '" + argument + "'");
    }
    names.push_back(argument);
  }
  const auto team = OpenTeamArchive(context);
  const auto local = team ? OpenHistoryArchive(context) : nullptr;
  if (!local) {
    return kExitFailure;
  }
  std::vector<archive::SurveyId> ids;
  for (const std::string& name : names) {
    const auto survey = FindSurvey(*local, name, context);
    if (!survey) {
      return kExitFailure;
    }
    ids.push_back(survey->id);
  }
  const InterruptCatcher interrupts;
  ProgressLine line(context.err);
  const auto outcome =
      team->Push(*local, ids, ProgressOn(line, "Pushing to the team archive", context));
  return Finish(outcome, line, "sent", "sent", context);
}

int HistoryPull(const std::vector<std::string>& arguments, CliContext& context) {
  const OptionValues values = TakeOptionValues(arguments, {"--site", "--since"});
  const ParsedArguments parsed = values.error.empty() ? ParseArguments(values.rest, {}, {})
                                                      : ParsedArguments{{}, {}, values.error};
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "history pull", parsed.error);
  }
  archive::TeamFilter filter;
  if (const auto site = values.values.find("--site"); site != values.values.end()) {
    filter.site = site->second;
  }
  if (const auto since = values.values.find("--since"); since != values.values.end()) {
    if (!IsDate(since->second)) {
      return ReportUsageError(context, "history pull",
                              "'" + since->second + "' is no date (YYYY-MM-DD)");
    }
    filter.since = since->second;
  }
  const auto team = OpenTeamArchive(context);
  const auto local = team ? OpenHistoryArchive(context) : nullptr;
  if (!local) {
    return kExitFailure;
  }
  const InterruptCatcher interrupts;
  ProgressLine line(context.err);
  const auto outcome =
      team->Pull(*local, filter, ProgressOn(line, "Pulling from the team archive", context));
  return Finish(outcome, line, "pulled", "taken", context);
}

}  // namespace klxr::cli
