#include "archive/archive_schema.h"

#include <array>

namespace klxr::archive {
namespace {

// Version 1. The image is the last column of surveys so that listing the surveys reads none of
// its pages. The records are kept in order of channel (case ignored), so that a channel's history
// across thousands of surveys reads neighbouring pages; a survey's own records are found through
// records_by_survey. Levels are in dBuV, ratios in dB, frequencies in kHz; a range mark is a flag
// of its own beside the number; a value the meter did not give is NULL.
constexpr std::string_view kSchemaVersion1 = R"sql(
CREATE TABLE surveys (
  id INTEGER PRIMARY KEY,
  sha256 TEXT UNIQUE NOT NULL,
  read_utc TEXT NOT NULL,
  time_zone TEXT NOT NULL,
  meter_version TEXT,
  adapter_serial TEXT,
  source TEXT NOT NULL CHECK (source IN ('read', 'load', 'import')),
  record_count INTEGER NOT NULL,
  complete INTEGER NOT NULL CHECK (complete IN (0, 1)),
  site TEXT NOT NULL DEFAULT '',
  note TEXT NOT NULL DEFAULT '',
  image BLOB NOT NULL CHECK (length(image) = 100352)
);
CREATE INDEX surveys_by_read_utc ON surveys (read_utc);
CREATE TABLE survey_sightings (
  survey_id INTEGER NOT NULL REFERENCES surveys (id) ON DELETE CASCADE,
  seen_utc TEXT NOT NULL,
  time_zone TEXT NOT NULL,
  source TEXT NOT NULL CHECK (source IN ('read', 'load', 'import'))
);
CREATE INDEX survey_sightings_by_survey ON survey_sightings (survey_id);
CREATE TABLE records (
  survey_id INTEGER NOT NULL REFERENCES surveys (id) ON DELETE CASCADE,
  slot INTEGER NOT NULL,
  kind TEXT NOT NULL,
  sequence INTEGER NOT NULL,
  sub_sequence INTEGER NOT NULL,
  frequency_khz INTEGER NOT NULL,
  channel TEXT NOT NULL COLLATE NOCASE,
  standard TEXT NOT NULL,
  multiplex TEXT NOT NULL,
  level_dbuv REAL,
  level_over INTEGER NOT NULL,
  level_under INTEGER NOT NULL,
  audio_level_dbuv REAL,
  audio_over INTEGER NOT NULL,
  audio_under INTEGER NOT NULL,
  cn_db REAL,
  cn_over INTEGER NOT NULL,
  cn_under INTEGER NOT NULL,
  mer_db REAL,
  mer_over INTEGER NOT NULL,
  mer_under INTEGER NOT NULL,
  ber REAL,
  status TEXT NOT NULL,
  modulation TEXT NOT NULL,
  PRIMARY KEY (channel, survey_id, slot)
) WITHOUT ROWID;
CREATE INDEX records_by_survey ON records (survey_id, slot);
CREATE INDEX records_by_frequency ON records (frequency_khz);
)sql";

// Version 2: when a survey's site and note were last changed, so that the team archive can tell
// which of two changes is the later one, and the values a later change replaced. The time is
// kept beside the survey rather than in it, where a new column would follow the image. A survey
// labelled before this version counts as labelled when it was read.
constexpr std::string_view kSchemaVersion2 = R"sql(
CREATE TABLE label_times (
  survey_id INTEGER PRIMARY KEY REFERENCES surveys (id) ON DELETE CASCADE,
  changed_utc TEXT NOT NULL
);
INSERT INTO label_times (survey_id, changed_utc)
  SELECT id, read_utc FROM surveys WHERE site <> '' OR note <> '';
CREATE TABLE label_history (
  survey_id INTEGER NOT NULL REFERENCES surveys (id) ON DELETE CASCADE,
  site TEXT NOT NULL,
  note TEXT NOT NULL,
  changed_utc TEXT NOT NULL,
  replaced_utc TEXT NOT NULL,
  replaced_by TEXT NOT NULL
);
CREATE INDEX label_history_by_survey ON label_history (survey_id);
)sql";

constexpr std::array<Migration, 2> kMigrations{{{1, kSchemaVersion1}, {2, kSchemaVersion2}}};

int UserVersion(Database& database, std::string& problem) {
  Statement statement(database.Handle(), "PRAGMA user_version");
  if (!statement.Ok() || statement.Step() != SQLITE_ROW) {
    problem = statement.Problem();
    return -1;
  }
  return static_cast<int>(statement.Integer(0));
}

std::string RunMigration(Database& database, const Migration& migration) {
  WriteTransaction transaction(database);
  if (!transaction.Problem().empty()) {
    return transaction.Problem();
  }
  // Another program may have migrated the file while this one waited for the transaction.
  std::string problem;
  const int version = UserVersion(database, problem);
  if (version < 0 || version >= migration.version) {
    return problem;
  }
  problem = database.Execute(migration.sql);
  if (problem.empty()) {
    problem = database.Execute("PRAGMA user_version = " + std::to_string(migration.version));
  }
  return problem.empty() ? transaction.Commit() : problem;
}

}  // namespace

std::span<const Migration> ArchiveMigrations() {
  return kMigrations;
}

std::string MigrateArchive(Database& database) {
  std::string problem;
  const int version = UserVersion(database, problem);
  if (version < 0) {
    return problem;
  }
  if (version > kMigrations.back().version) {
    return "its schema version " + std::to_string(version) + " is newer than this program's (" +
           std::to_string(kMigrations.back().version) + ")";
  }
  for (const Migration& migration : kMigrations) {
    if (migration.version > version) {
      problem = RunMigration(database, migration);
      if (!problem.empty()) {
        return problem;
      }
    }
  }
  return {};
}

}  // namespace klxr::archive
