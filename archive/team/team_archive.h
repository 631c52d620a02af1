// The team archive: the survey archive's schema on a PostgreSQL server that the firm runs, so that
// every installer's surveys are found by site and date from any computer. Surveys are pushed from
// and pulled into the local archive, keyed by their image's SHA-256; the server is asked directly
// for lists and a channel's history. The server is named by a libpq connection string; passwords
// come only from libpq's password file or service file, TLS as libpq configures it. No toolkit:
// push and pull report progress through a function that may also stop them (a window runs them on
// a worker thread). Nothing here throws.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_result.h"
#include "archive/survey.h"
#include "archive/survey_archive.h"
#include "log/log_image.h"

namespace klxr::archive {

// False in a build without libpq (the Windows builds): then every Open fails with
// kNoTeamArchiveText.
bool TeamArchiveAvailable();
inline constexpr std::string_view kNoTeamArchiveText = "this build has no team archive";

// The version of the team schema this program writes.
inline constexpr int kTeamSchemaVersion = 1;

// The environment variable that holds the connection string.
inline constexpr char kTeamArchiveVariable[] = "KLXR_TEAM_ARCHIVE";

// Empty when the connection string may be used, else why not: it must parse, and must hold no
// password (passwords belong in libpq's password file or service file).
std::string CheckConnectionString(const std::string& connection);

// A survey of the team archive: its facts (id: the server's), and who pushed it, from where, when.
struct TeamSurvey {
  SurveySummary survey;
  std::string pushedBy;    // the server's role name
  std::string pushedFrom;  // the pushing computer's host name
  std::string pushedAt;    // 'YYYY-MM-DDTHH:MM:SSZ'
};

// Which team surveys: a site (exactly), and those read on or after a day or time (ISO text,
// 'YYYY-MM-DD' or longer); empty: any.
struct TeamFilter {
  std::string site;
  std::string since;
};

// How far a push or pull is: done of total surveys moved. Returning false stops it before the next
// survey; what was moved stays.
using SyncProgress = std::function<bool(int done, int total)>;

struct SyncOutcome {
  int moved = 0;         // surveys sent (push) or kept locally (pull)
  int alreadyThere = 0;  // surveys the other side had
  int labels = 0;        // sites and notes the other side took, its later change winning
  bool stopped = false;  // the progress function stopped it
};

class TeamArchive {
 public:
  ~TeamArchive();
  TeamArchive(const TeamArchive&) = delete;
  TeamArchive& operator=(const TeamArchive&) = delete;

  // Connects and checks that the server has this program's schema.
  static ArchiveResult<std::unique_ptr<TeamArchive>> Open(const std::string& connection);
  // Connects, creates the schema or brings it up to date, and gives the team's roles their
  // rights; the archive then open.
  static ArchiveResult<std::unique_ptr<TeamArchive>> Initialize(const std::string& connection);

  // The team's surveys, newest first.
  ArchiveResult<std::vector<TeamSurvey>> List(const TeamFilter& filter);
  // By the server's id, or by at least four hexadecimal digits of the hash.
  ArchiveResult<TeamSurvey> Find(std::string_view name);
  ArchiveResult<LogImage> Image(SurveyId id);
  // A channel's records in every team survey (of one site when given), oldest survey first.
  ArchiveResult<std::vector<ChannelReading>> ChannelHistory(std::string_view channelOrFrequency,
                                                            std::string_view site);
  ArchiveResult<std::vector<LabelChange>> LabelHistory(SurveyId id);

  // Sends the local surveys the team does not have (the given ones, or all when none are given),
  // each in its own transaction, and the local sites and notes changed later than the team's.
  ArchiveResult<SyncOutcome> Push(SurveyArchive& local, const std::vector<SurveyId>& ids,
                                  const SyncProgress& progress);
  // Keeps the team surveys the filter picks that the local archive lacks, and takes the team's
  // sites and notes changed later than the local ones.
  ArchiveResult<SyncOutcome> Pull(SurveyArchive& local, const TeamFilter& filter,
                                  const SyncProgress& progress);

  struct Session;

 private:
  explicit TeamArchive(std::unique_ptr<Session> session);
  // One survey in its own transaction: true when sent, false when the team had it already.
  ArchiveResult<bool> SendSurvey(const SurveySummary& survey, const LogImage& image,
                                 const std::string& host);
  // A local site and note changed later than the team's; empty on success, else why not.
  std::string SendLabel(SurveyId teamId, const SurveySummary& label);

  std::unique_ptr<Session> session_;
};

}  // namespace klxr::archive
