#include "archive/team/team_schema.h"

#include <array>

#include "archive/team/team_archive.h"

namespace klxr::archive {
namespace {

// Version 1. A survey is keyed by its image's SHA-256: the same log pushed twice, or by two
// people, is one row. Who pushed it is the server's own name of the role (never a name the
// program gives), from the computer the host name says. Times read are kept as the local
// archive's texts, so that a survey pulled back is the one pushed; label times as there, to the
// millisecond. Records in typed columns as in the local archive (levels dBuV, ratios dB,
// frequencies kHz), found by channel (case ignored) or frequency.
constexpr std::string_view kTeamSchemaVersion1 = R"sql(
CREATE TABLE surveys (
  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  sha256 text UNIQUE NOT NULL CHECK (sha256 ~ '^[0-9a-f]{64}$'),
  read_utc text NOT NULL,
  time_zone text NOT NULL,
  meter_version text,
  adapter_serial text,
  source text NOT NULL CHECK (source IN ('read', 'load', 'import')),
  record_count integer NOT NULL,
  complete boolean NOT NULL,
  site text NOT NULL DEFAULT '',
  note text NOT NULL DEFAULT '',
  label_changed_utc text NOT NULL DEFAULT '',
  pushed_by text NOT NULL DEFAULT session_user,
  pushed_from text NOT NULL,
  pushed_at timestamptz NOT NULL DEFAULT now(),
  image bytea NOT NULL CHECK (octet_length(image) = 100352)
);
ALTER TABLE surveys ALTER COLUMN image SET STORAGE EXTERNAL;
CREATE INDEX surveys_by_read_utc ON surveys (read_utc);
CREATE INDEX surveys_by_site ON surveys (site);
CREATE TABLE records (
  survey_id bigint NOT NULL REFERENCES surveys (id) ON DELETE CASCADE,
  slot smallint NOT NULL,
  kind text NOT NULL,
  sequence integer NOT NULL,
  sub_sequence smallint NOT NULL,
  frequency_khz integer NOT NULL,
  channel text NOT NULL,
  standard text NOT NULL,
  multiplex text NOT NULL,
  level_dbuv double precision,
  level_over boolean NOT NULL,
  level_under boolean NOT NULL,
  audio_level_dbuv double precision,
  audio_over boolean NOT NULL,
  audio_under boolean NOT NULL,
  cn_db double precision,
  cn_over boolean NOT NULL,
  cn_under boolean NOT NULL,
  mer_db double precision,
  mer_over boolean NOT NULL,
  mer_under boolean NOT NULL,
  ber double precision,
  status text NOT NULL,
  modulation text NOT NULL,
  PRIMARY KEY (survey_id, slot)
);
CREATE INDEX records_by_channel ON records (lower(channel));
CREATE INDEX records_by_frequency ON records (frequency_khz);
CREATE TABLE label_history (
  survey_id bigint NOT NULL REFERENCES surveys (id) ON DELETE CASCADE,
  site text NOT NULL,
  note text NOT NULL,
  changed_utc text NOT NULL,
  replaced_at timestamptz NOT NULL DEFAULT now(),
  replaced_by text NOT NULL DEFAULT session_user
);
CREATE INDEX label_history_by_survey ON label_history (survey_id);
)sql";

constexpr std::array<TeamMigration, 1> kTeamMigrations{{{1, kTeamSchemaVersion1}}};
static_assert(kTeamMigrations.back().version == kTeamSchemaVersion);

// The rights of the team's roles, when the firm made them: readers read; writers also add
// surveys and change labels, but delete nothing and change no image or record. Given again at
// every "init", so that roles made after the schema get theirs.
constexpr std::string_view kTeamRights = R"sql(
DO $$
BEGIN
  IF EXISTS (SELECT FROM pg_roles WHERE rolname = 'klxr_team_readers') THEN
    GRANT SELECT ON schema_version, surveys, records, label_history TO klxr_team_readers;
  END IF;
  IF EXISTS (SELECT FROM pg_roles WHERE rolname = 'klxr_team_writers') THEN
    GRANT SELECT ON schema_version TO klxr_team_writers;
    GRANT SELECT, INSERT ON surveys, records, label_history TO klxr_team_writers;
    GRANT UPDATE (site, note, label_changed_utc) ON surveys TO klxr_team_writers;
  END IF;
END
$$;
)sql";

// The key of the advisory lock that one "init" at a time holds.
constexpr std::string_view kInitLock = "SELECT pg_advisory_xact_lock(7140319)";

int SchemaVersion(PqConnection& connection, std::string& problem) {
  const PqResult version = connection.Execute("SELECT version FROM schema_version");
  if (!version.Ok() || version.Rows() != 1) {
    problem = version.Ok() ? "its schema_version table has no row" : version.Problem();
    return -1;
  }
  return static_cast<int>(version.Integer(0, 0));
}

std::string RunMigrations(PqConnection& connection) {
  for (const std::string_view step :
       {kInitLock,
        std::string_view("CREATE TABLE IF NOT EXISTS schema_version (version integer "
                         "NOT NULL, one_row boolean PRIMARY KEY DEFAULT true "
                         "CHECK (one_row))"),
        std::string_view(
            "INSERT INTO schema_version (version) VALUES (0) ON CONFLICT DO NOTHING")}) {
    if (const PqResult result = connection.Execute(step); !result.Ok()) {
      return result.Problem();
    }
  }
  std::string problem;
  const int version = SchemaVersion(connection, problem);
  if (version < 0) {
    return problem;
  }
  if (version > kTeamMigrations.back().version) {
    return "its schema version " + std::to_string(version) + " is newer than this program's (" +
           std::to_string(kTeamMigrations.back().version) + ")";
  }
  for (const TeamMigration& migration : kTeamMigrations) {
    if (migration.version <= version) {
      continue;
    }
    const PqResult ran = connection.Execute(migration.sql);
    if (!ran.Ok()) {
      return ran.Problem();
    }
    const PqResult set = connection.Execute("UPDATE schema_version SET version = " +
                                            std::to_string(migration.version));
    if (!set.Ok()) {
      return set.Problem();
    }
  }
  const PqResult rights = connection.Execute(kTeamRights);
  return rights.Ok() ? std::string() : rights.Problem();
}

}  // namespace

std::span<const TeamMigration> TeamArchiveMigrations() {
  return kTeamMigrations;
}

std::string MigrateTeamArchive(PqConnection& connection) {
  if (const PqResult begin = connection.Execute("BEGIN"); !begin.Ok()) {
    return begin.Problem();
  }
  std::string problem = RunMigrations(connection);
  if (problem.empty()) {
    const PqResult commit = connection.Execute("COMMIT");
    return commit.Ok() ? std::string() : commit.Problem();
  }
  connection.Execute("ROLLBACK");
  return problem;
}

std::string CheckTeamSchema(PqConnection& connection) {
  const PqResult version = connection.Execute("SELECT version FROM schema_version");
  if (!version.Ok() && version.SqlState() == "42P01") {
    return "the team archive has no schema yet: run 'klxr-log-cli history team init'";
  }
  if (!version.Ok() || version.Rows() != 1) {
    return version.Ok() ? "its schema_version table has no row" : version.Problem();
  }
  const int have = static_cast<int>(version.Integer(0, 0));
  const int want = kTeamMigrations.back().version;
  if (have < want) {
    return "the team archive's schema version " + std::to_string(have) +
           " is older than this program's (" + std::to_string(want) +
           "): run 'klxr-log-cli history team init'";
  }
  if (have > want) {
    return "the team archive's schema version " + std::to_string(have) +
           " is newer than this program's (" + std::to_string(want) + "): update the program";
  }
  return {};
}

}  // namespace klxr::archive
