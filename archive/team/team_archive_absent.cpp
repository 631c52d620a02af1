// The team archive of a build without libpq (the Windows builds): it cannot be opened, and says
// so.
#include "archive/team/team_archive.h"

namespace klxr::archive {

struct TeamArchive::Session {};

bool TeamArchiveAvailable() {
  return false;
}

std::string CheckConnectionString(const std::string&) {
  return std::string(kNoTeamArchiveText);
}

TeamArchive::TeamArchive(std::unique_ptr<Session> session) : session_(std::move(session)) {}

TeamArchive::~TeamArchive() = default;

ArchiveResult<std::unique_ptr<TeamArchive>> TeamArchive::Open(const std::string&) {
  return ArchiveResult<std::unique_ptr<TeamArchive>>::Failure(std::string(kNoTeamArchiveText));
}

ArchiveResult<std::unique_ptr<TeamArchive>> TeamArchive::Initialize(const std::string&) {
  return ArchiveResult<std::unique_ptr<TeamArchive>>::Failure(std::string(kNoTeamArchiveText));
}

namespace {

template <typename Value>
ArchiveResult<Value> Absent() {
  return ArchiveResult<Value>::Failure(std::string(kNoTeamArchiveText));
}

}  // namespace

ArchiveResult<std::vector<TeamSurvey>> TeamArchive::List(const TeamFilter&) {
  return Absent<std::vector<TeamSurvey>>();
}

ArchiveResult<TeamSurvey> TeamArchive::Find(std::string_view) {
  return Absent<TeamSurvey>();
}

ArchiveResult<LogImage> TeamArchive::Image(SurveyId) {
  return Absent<LogImage>();
}

ArchiveResult<std::vector<ChannelReading>> TeamArchive::ChannelHistory(std::string_view,
                                                                       std::string_view) {
  return Absent<std::vector<ChannelReading>>();
}

ArchiveResult<std::vector<LabelChange>> TeamArchive::LabelHistory(SurveyId) {
  return Absent<std::vector<LabelChange>>();
}

ArchiveResult<SyncOutcome> TeamArchive::Push(SurveyArchive&, const std::vector<SurveyId>&,
                                             const SyncProgress&) {
  return Absent<SyncOutcome>();
}

ArchiveResult<SyncOutcome> TeamArchive::Pull(SurveyArchive&, const TeamFilter&,
                                             const SyncProgress&) {
  return Absent<SyncOutcome>();
}

}  // namespace klxr::archive
