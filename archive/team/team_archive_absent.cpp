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

}  // namespace klxr::archive
