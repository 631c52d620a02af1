// The archive's schema: an ordered list of migrations, each taking the file from one version to the
// next. PRAGMA user_version holds the version a file has reached; a new file starts at 0.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "archive/sqlite_database.h"

namespace klxr::archive {

struct Migration {
  int version;           // the version the file has once this ran
  std::string_view sql;  // the statements that take it there
};

// Every migration, in order; the last one's version is the schema this program writes.
std::span<const Migration> ArchiveMigrations();

// Runs every migration the file has not had, each in its own transaction with its version. Empty
// on success, else why: also when the file was made by a program that knows a later schema.
std::string MigrateArchive(Database& database);

}  // namespace klxr::archive
