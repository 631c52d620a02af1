// The team archive's schema on the PostgreSQL server: the local archive's surveys and records,
// with who pushed each survey, and the label history. An ordered list of migrations as in the
// local archive; the one row of schema_version holds the version the database has reached.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "archive/team/pq_connection.h"

namespace klxr::archive {

struct TeamMigration {
  int version;           // the version the database has once this ran
  std::string_view sql;  // the statements that take it there
};

// Every migration, in order; the last one's version is the schema this program writes.
std::span<const TeamMigration> TeamArchiveMigrations();

// Runs every migration the database has not had, in one transaction that holds the archive's
// lock (a second "init" at the same time waits, then finds nothing to do), then gives the team's
// two roles their rights. Empty on success, else why not.
std::string MigrateTeamArchive(PqConnection& connection);

// Empty when the database has this program's schema; else what to do about it.
std::string CheckTeamSchema(PqConnection& connection);

}  // namespace klxr::archive
