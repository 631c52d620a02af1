#include "desktop/history_team.h"

#include <memory>

#include "archive/survey_archive.h"

namespace klxr {
namespace {

std::string Count(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

TeamArchiveChoice ChooseTeamArchive(const std::optional<std::string>& setting,
                                    const char* environment) {
  std::string connection;
  if (setting && !setting->empty()) {
    connection = *setting;
  } else if (environment != nullptr) {
    connection = environment;
  }
  if (connection.empty() || !archive::TeamArchiveAvailable()) {
    return {};
  }
  std::string problem = archive::CheckConnectionString(connection);
  if (!problem.empty()) {
    return {{}, "The team archive is not shown: " + problem + "."};
  }
  return {connection, {}};
}

std::string WithConnectTimeout(const std::string& connection, int seconds) {
  if (connection.find("connect_timeout") != std::string::npos) {
    return connection;
  }
  const std::string timeout = "connect_timeout=" + std::to_string(seconds);
  if (connection.starts_with("postgresql://") || connection.starts_with("postgres://")) {
    return connection + (connection.find('?') == std::string::npos ? "?" : "&") + timeout;
  }
  return connection + " " + timeout;
}

std::string TeamArchiveHint() {
  return std::string("To push and pull, name the team archive: set the setting ") +
         kTeamArchiveSetting + " or the environment variable " + archive::kTeamArchiveVariable +
         " to its connection string (the password in libpq's password file).";
}

TeamSyncResult RunTeamSync(const TeamSyncJob& job, const archive::SyncProgress& progress) {
  auto team = archive::TeamArchive::Open(job.connection);
  if (!team) {
    return {false, {}, team.Problem()};
  }
  auto local = archive::SurveyArchive::Open(job.localFile);
  if (!local) {
    return {false, {}, local.Problem()};
  }
  auto outcome = job.kind == TeamSyncKind::Push
                     ? team.Value()->Push(*local.Value(), job.ids, progress)
                     : team.Value()->Pull(*local.Value(), archive::TeamFilter{}, progress);
  if (!outcome) {
    return {false, {}, outcome.Problem()};
  }
  return {true, outcome.Value(), {}};
}

std::string TeamSyncText(TeamSyncKind kind, const TeamSyncResult& result) {
  const bool push = kind == TeamSyncKind::Push;
  if (!result.ok) {
    return std::string(push ? "Push" : "Pull") + " failed: " + result.problem;
  }
  const archive::SyncOutcome& outcome = result.outcome;
  std::string text = Count(outcome.moved, "survey", "surveys") +
                     (push ? " pushed, " : " pulled, ") + std::to_string(outcome.alreadyThere) +
                     " already there, " + Count(outcome.labels, "label", "labels");
  if (outcome.stopped) {
    text += "; stopped, the surveys moved so far stay";
  }
  return text;
}

}  // namespace klxr
