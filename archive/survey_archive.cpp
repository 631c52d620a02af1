#include "archive/survey_archive.h"

#include <utility>

#include "archive/archive_schema.h"
#include "archive/channel_query.h"
#include "archive/sha256.h"
#include "archive/survey_connection.h"
#include "archive/survey_time.h"
#include "log/data_text.h"

namespace klxr::archive {
namespace {

// How long a write waits for another program's transaction to end.
constexpr int kBusyTimeoutMs = 5000;

constexpr std::string_view kInsertRecord =
    "INSERT INTO records (survey_id, slot, kind, sequence, sub_sequence, frequency_khz, channel, "
    "standard, multiplex, level_dbuv, level_over, level_under, audio_level_dbuv, audio_over, "
    "audio_under, cn_db, cn_over, cn_under, mer_db, mer_over, mer_under, ber, status, modulation) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// Binds a measurement to three parameters from index: the number, the over and under flags.
void BindMeasurement(Statement& statement, int index, const Measurement& measurement) {
  statement.Bind(index, measurement.value);
  statement.Bind(index + 1, std::int64_t{measurement.overRange});
  statement.Bind(index + 2, std::int64_t{measurement.underRange});
}

bool InsertRecords(Statement& insert, SurveyId survey, const LogImage& image) {
  for (const RecordValues& record : RecordValuesOf(image)) {
    insert.Reset();
    insert.Bind(1, survey);
    insert.Bind(2, std::int64_t{record.slot});
    insert.Bind(3, std::string_view(&record.kind, 1));
    insert.Bind(4, std::int64_t{record.sequence});
    insert.Bind(5, std::int64_t{record.subSequence});
    insert.Bind(6, std::int64_t{record.frequencyKhz});
    insert.Bind(7, std::string_view(Latin1ToUtf8(record.channel)));
    insert.Bind(8, std::string_view(Latin1ToUtf8(record.standard)));
    insert.Bind(9, std::string_view(Latin1ToUtf8(record.multiplex)));
    BindMeasurement(insert, 10, record.level);
    BindMeasurement(insert, 13, record.audioLevel);
    BindMeasurement(insert, 16, record.carrierToNoise);
    BindMeasurement(insert, 19, record.mer);
    insert.Bind(22, record.ber);
    insert.Bind(23, std::string_view(record.status));
    insert.Bind(24, std::string_view(record.modulation));
    if (insert.Step() != SQLITE_DONE) {
      return false;
    }
  }
  return true;
}

bool InsertSighting(Database& database, SurveyId survey, const SurveyFacts& facts) {
  Statement insert(database.Handle(),
                   "INSERT INTO survey_sightings (survey_id, seen_utc, time_zone, source) "
                   "VALUES (?, ?, ?, ?)");
  insert.Bind(1, survey);
  insert.Bind(2, std::string_view(UtcText(facts.seen)));
  insert.Bind(3, std::string_view(UtcOffsetText(facts.seen)));
  insert.Bind(4, SourceName(facts.source));
  return insert.Ok() && insert.Step() == SQLITE_DONE;
}

// The survey that holds the image with this hash; 0 when none does, -1 when the query failed.
SurveyId SurveyWithHash(Database& database, const std::string& hash) {
  Statement find(database.Handle(), "SELECT id FROM surveys WHERE sha256 = ?");
  find.Bind(1, std::string_view(hash));
  const int code = find.Ok() ? find.Step() : SQLITE_ERROR;
  return code == SQLITE_ROW ? find.Integer(0) : code == SQLITE_DONE ? 0 : -1;
}

// The row of a new survey from what the caller knows.
SurveySummary RowOf(const LogImage& image, const std::string& hash, const SurveyFacts& facts) {
  SurveySummary row;
  row.sha256 = hash;
  row.readUtc = UtcText(facts.seen);
  row.timeZone = UtcOffsetText(facts.seen);
  row.meterVersion = facts.meterVersion;
  row.adapterSerial = facts.adapterSerial;
  row.source = std::string(SourceName(facts.source));
  row.recordCount = CountRecords(image, nullptr);
  row.complete = facts.complete;
  row.site = facts.site;
  if (!facts.site.empty()) {
    row.labelChangedUtc = UtcMillisecondText(facts.seen);
  }
  return row;
}

}  // namespace

SurveyId InsertSurveyRow(Database& database, const LogImage& image, const SurveySummary& row) {
  Statement insert(database.Handle(),
                   "INSERT INTO surveys (sha256, read_utc, time_zone, meter_version, "
                   "adapter_serial, source, record_count, complete, site, note, image) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert.Bind(1, std::string_view(row.sha256));
  insert.Bind(2, std::string_view(row.readUtc));
  insert.Bind(3, std::string_view(row.timeZone));
  insert.Bind(4, row.meterVersion);
  insert.Bind(5, row.adapterSerial);
  insert.Bind(6, std::string_view(row.source));
  insert.Bind(7, std::int64_t{row.recordCount});
  insert.Bind(8, std::int64_t{row.complete});
  insert.Bind(9, std::string_view(row.site));
  insert.Bind(10, std::string_view(row.note));
  insert.BindBlob(11, image.bytes);
  if (!insert.Ok() || insert.Step() != SQLITE_DONE) {
    return -1;
  }
  const SurveyId survey = sqlite3_last_insert_rowid(database.Handle());
  if (!row.labelChangedUtc.empty() && !SetLabelTime(database, survey, row.labelChangedUtc)) {
    return -1;
  }
  Statement records(database.Handle(), kInsertRecord);
  return records.Ok() && InsertRecords(records, survey, image) ? survey : -1;
}

bool SetLabelTime(Database& database, SurveyId id, std::string_view changedUtc) {
  Statement upsert(database.Handle(),
                   "INSERT INTO label_times (survey_id, changed_utc) VALUES (?, ?) "
                   "ON CONFLICT (survey_id) DO UPDATE SET changed_utc = excluded.changed_utc");
  upsert.Bind(1, id);
  upsert.Bind(2, changedUtc);
  return upsert.Ok() && upsert.Step() == SQLITE_DONE;
}

bool ArchiveAvailable() {
  return true;
}

SurveyArchive::SurveyArchive(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

SurveyArchive::~SurveyArchive() = default;

ArchiveResult<std::unique_ptr<SurveyArchive>> SurveyArchive::Open(const std::string& path) {
  auto connection = std::make_unique<Connection>();
  connection->path = path;
  Database& database = connection->database;
  std::string problem = database.Open(path);
  if (problem.empty()) {
    sqlite3_busy_timeout(database.Handle(), kBusyTimeoutMs);
    problem = database.Execute("PRAGMA foreign_keys = ON");
  }
  if (problem.empty()) {
    problem = MigrateArchive(database);
  }
  if (problem.empty()) {
    // WAL: readers do not wait for a writer, and a write is one append to the log file.
    Statement wal(database.Handle(), "PRAGMA journal_mode = WAL");
    if (!wal.Ok() || !wal.Run()) {
      problem = wal.Problem();
    }
  }
  if (!problem.empty()) {
    return ArchiveResult<std::unique_ptr<SurveyArchive>>::Failure(
        "cannot open the survey archive '" + path + "': " + problem);
  }
  return std::unique_ptr<SurveyArchive>(new SurveyArchive(std::move(connection)));
}

ArchiveResult<StoredSurvey> SurveyArchive::Store(const LogImage& image, const SurveyFacts& facts) {
  using Result = ArchiveResult<StoredSurvey>;
  Database& database = connection_->database;
  const std::string hash = Sha256Hex(image.bytes);
  WriteTransaction transaction(database);
  if (!transaction.Problem().empty()) {
    return Result::Failure(connection_->CannotWrite(transaction.Problem()));
  }
  StoredSurvey stored{SurveyWithHash(database, hash), false};
  if (stored.id == 0) {
    stored = {InsertSurveyRow(database, image, RowOf(image, hash, facts)), true};
  } else if (stored.id > 0) {
    // A later sighting completes what the first one did not know.
    Statement update(database.Handle(),
                     "UPDATE surveys SET complete = max(complete, ?), "
                     "meter_version = coalesce(meter_version, ?), "
                     "adapter_serial = coalesce(adapter_serial, ?) WHERE id = ?");
    update.Bind(1, std::int64_t{facts.complete});
    update.Bind(2, facts.meterVersion);
    update.Bind(3, facts.adapterSerial);
    update.Bind(4, stored.id);
    stored.id = update.Ok() && update.Step() == SQLITE_DONE ? stored.id : -1;
  }
  if (stored.id < 0 || !InsertSighting(database, stored.id, facts)) {
    return Result::Failure(connection_->CannotWrite(database.LastProblem()));
  }
  if (const std::string problem = transaction.Commit(); !problem.empty()) {
    return Result::Failure(connection_->CannotWrite(problem));
  }
  return stored;
}

ArchiveResult<LogImage> SurveyArchive::Image(SurveyId id) {
  using Result = ArchiveResult<LogImage>;
  Statement select(connection_->database.Handle(), "SELECT image FROM surveys WHERE id = ?");
  select.Bind(1, id);
  const int code = select.Ok() ? select.Step() : SQLITE_ERROR;
  if (code == SQLITE_DONE) {
    return Result::Failure(NoSurveyText(id));
  }
  if (code != SQLITE_ROW) {
    return Result::Failure(connection_->CannotRead(select.Problem()));
  }
  const std::span<const std::uint8_t> bytes = select.Blob(0);
  LogImage image;
  if (bytes.size() != image.bytes.size()) {
    return Result::Failure(connection_->CannotRead("the image of survey " + std::to_string(id) +
                                                   " is not 100352 bytes"));
  }
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
  return image;
}

ArchiveResult<Nothing> SurveyArchive::Label(SurveyId id, std::string_view site,
                                            const std::optional<std::string>& note) {
  Database& database = connection_->database;
  WriteTransaction transaction(database);
  if (!transaction.Problem().empty()) {
    return ArchiveResult<Nothing>::Failure(connection_->CannotWrite(transaction.Problem()));
  }
  Statement update(database.Handle(),
                   "UPDATE surveys SET site = ?, note = coalesce(?, note) WHERE id = ?");
  update.Bind(1, site);
  update.Bind(2, note);
  update.Bind(3, id);
  if (!update.Ok() || update.Step() != SQLITE_DONE) {
    return ArchiveResult<Nothing>::Failure(connection_->CannotWrite(update.Problem()));
  }
  if (sqlite3_changes(database.Handle()) == 0) {
    return ArchiveResult<Nothing>::Failure(NoSurveyText(id));
  }
  // The label's time, for the team archive's choice between two changes of the same survey.
  if (!SetLabelTime(database, id, UtcMillisecondText(std::chrono::system_clock::now()))) {
    return ArchiveResult<Nothing>::Failure(connection_->CannotWrite(database.LastProblem()));
  }
  if (const std::string problem = transaction.Commit(); !problem.empty()) {
    return ArchiveResult<Nothing>::Failure(connection_->CannotWrite(problem));
  }
  return Nothing{};
}

ArchiveResult<Nothing> SurveyArchive::Forget(SurveyId id) {
  Statement remove(connection_->database.Handle(), "DELETE FROM surveys WHERE id = ?");
  remove.Bind(1, id);
  if (!remove.Ok() || remove.Step() != SQLITE_DONE) {
    return ArchiveResult<Nothing>::Failure(connection_->CannotWrite(remove.Problem()));
  }
  if (sqlite3_changes(connection_->database.Handle()) == 0) {
    return ArchiveResult<Nothing>::Failure(NoSurveyText(id));
  }
  return Nothing{};
}

}  // namespace klxr::archive
