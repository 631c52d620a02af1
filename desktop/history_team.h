// The team archive as the "History" window sees it: which server it names (the TeamArchive
// setting, else the KLXR_TEAM_ARCHIVE environment variable, a libpq connection string without a
// password), and a push or pull that opens its own connections, so that a window can run it on a
// worker thread while the window's own connections stay on its thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/survey.h"
#include "archive/team/team_archive.h"

namespace klxr {

// The setting that names the team archive's connection string.
inline constexpr char kTeamArchiveSetting[] = "TeamArchive";

// The team archive the window shows: none when nothing names one or the build has none; a problem
// (said in the window's status line) when the string named cannot be used.
struct TeamArchiveChoice {
  std::string connection;  // empty: no team archive
  std::string problem;
};

// The setting wins over the environment; an empty value counts as none.
TeamArchiveChoice ChooseTeamArchive(const std::optional<std::string>& setting,
                                    const char* environment);

// The connection string with a connect_timeout of that many seconds when it names none, so that a
// server that does not answer keeps the window waiting seconds, not minutes, before it opens with
// the local surveys; libpq's URIs take it as a parameter.
std::string WithConnectTimeout(const std::string& connection, int seconds);

// How to name a team archive, for the grayed Push and Pull buttons.
std::string TeamArchiveHint();

enum class TeamSyncKind { Push, Pull };

// Everything a push or pull needs, copied, to run on another thread.
struct TeamSyncJob {
  TeamSyncKind kind = TeamSyncKind::Push;
  std::string localFile;
  std::string connection;
  std::vector<archive::SurveyId> ids;  // push: these local surveys; empty: all
};

struct TeamSyncResult {
  bool ok = false;
  archive::SyncOutcome outcome;
  std::string problem;  // why not, when !ok
};

// Opens the local archive and the team archive afresh and runs the push or pull; the progress
// function is called on the calling thread and stops it between surveys by returning false.
TeamSyncResult RunTeamSync(const TeamSyncJob& job, const archive::SyncProgress& progress);

// What the window's status line says of it: "3 surveys pushed, 1 already there, 0 labels", with
// "; stopped" when the user stopped it, or "Push failed: " and the server's reason.
std::string TeamSyncText(TeamSyncKind kind, const TeamSyncResult& result);

}  // namespace klxr
