// What a TeamArchive holds: the connection, and the texts of its problems. Shared by the files
// that implement the team archive's operations.
#pragma once

#include <string>
#include <string_view>

#include "archive/team/pq_connection.h"
#include "archive/team/team_archive.h"

namespace klxr::archive {

struct TeamArchive::Session {
  PqConnection connection;
  std::string role;  // the server's name of the role connected

  std::string CannotRead(std::string_view reason) const {
    return "cannot read the team archive: " + std::string(reason);
  }
  // A refused write says plainly that the role may not write; other failures give the reason.
  std::string CannotWrite(const PqResult& result) const;
  std::string ReadOnlyText() const {
    return "the team archive lets the role '" + role +
           "' read but not push: ask the archive's keeper for a role in klxr_team_writers";
  }
};

// The columns of a team survey as listed, in the order TeamSurveyOf reads them.
inline constexpr std::string_view kTeamSummaryColumns =
    "s.id, s.sha256, s.read_utc, s.time_zone, s.meter_version, s.adapter_serial, s.source, "
    "s.record_count, s.complete, s.site, s.note, s.label_changed_utc, s.pushed_by, s.pushed_from, "
    "to_char(s.pushed_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')";

TeamSurvey TeamSurveyOf(const PqResult& rows, int row);

}  // namespace klxr::archive
