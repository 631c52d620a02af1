// The archive's side of the team archive: keeping a survey pulled from the team with the team's
// facts, and a site and note changed elsewhere, with the value it replaced kept in the survey's
// label history.
#include "archive/sha256.h"
#include "archive/survey_archive.h"
#include "archive/survey_connection.h"
#include "archive/survey_time.h"

namespace klxr::archive {

ArchiveResult<StoredSurvey> SurveyArchive::Adopt(const LogImage& image,
                                                 const SurveySummary& facts) {
  using Result = ArchiveResult<StoredSurvey>;
  Database& database = connection_->database;
  WriteTransaction transaction(database);
  if (!transaction.Problem().empty()) {
    return Result::Failure(connection_->CannotWrite(transaction.Problem()));
  }
  SurveySummary row = facts;
  row.sha256 = Sha256Hex(image.bytes);  // the bytes decide the key, whatever the facts say
  Statement find(database.Handle(), "SELECT id FROM surveys WHERE sha256 = ?");
  find.Bind(1, std::string_view(row.sha256));
  const int code = find.Ok() ? find.Step() : SQLITE_ERROR;
  if (code == SQLITE_ROW) {
    return StoredSurvey{find.Integer(0), false};
  }
  const SurveyId id = code == SQLITE_DONE ? InsertSurveyRow(database, image, row) : -1;
  Statement sighting(database.Handle(),
                     "INSERT INTO survey_sightings (survey_id, seen_utc, time_zone, source) "
                     "VALUES (?, ?, ?, ?)");
  sighting.Bind(1, id);
  sighting.Bind(2, std::string_view(row.readUtc));
  sighting.Bind(3, std::string_view(row.timeZone));
  sighting.Bind(4, std::string_view(row.source));
  if (id < 0 || !sighting.Ok() || sighting.Step() != SQLITE_DONE) {
    return Result::Failure(connection_->CannotWrite(database.LastProblem()));
  }
  if (const std::string problem = transaction.Commit(); !problem.empty()) {
    return Result::Failure(connection_->CannotWrite(problem));
  }
  return StoredSurvey{id, true};
}

ArchiveResult<Nothing> SurveyArchive::ReplaceLabel(SurveyId id, const SurveySummary& label,
                                                   std::string_view replacedBy) {
  using Result = ArchiveResult<Nothing>;
  Database& database = connection_->database;
  WriteTransaction transaction(database);
  if (!transaction.Problem().empty()) {
    return Result::Failure(connection_->CannotWrite(transaction.Problem()));
  }
  Statement keep(database.Handle(),
                 "INSERT INTO label_history (survey_id, site, note, changed_utc, replaced_utc, "
                 "replaced_by) SELECT s.id, s.site, s.note, coalesce(t.changed_utc, ''), ?, ? "
                 "FROM surveys s LEFT JOIN label_times t ON t.survey_id = s.id WHERE s.id = ?");
  keep.Bind(1, std::string_view(UtcMillisecondText(std::chrono::system_clock::now())));
  keep.Bind(2, replacedBy);
  keep.Bind(3, id);
  if (!keep.Ok() || keep.Step() != SQLITE_DONE) {
    return Result::Failure(connection_->CannotWrite(keep.Problem()));
  }
  if (sqlite3_changes(database.Handle()) == 0) {
    return Result::Failure(NoSurveyText(id));
  }
  Statement update(database.Handle(), "UPDATE surveys SET site = ?, note = ? WHERE id = ?");
  update.Bind(1, std::string_view(label.site));
  update.Bind(2, std::string_view(label.note));
  update.Bind(3, id);
  if (!update.Ok() || update.Step() != SQLITE_DONE ||
      !SetLabelTime(database, id, label.labelChangedUtc)) {
    return Result::Failure(connection_->CannotWrite(database.LastProblem()));
  }
  if (const std::string problem = transaction.Commit(); !problem.empty()) {
    return Result::Failure(connection_->CannotWrite(problem));
  }
  return Nothing{};
}

ArchiveResult<std::vector<LabelChange>> SurveyArchive::LabelHistory(SurveyId id) {
  using Result = ArchiveResult<std::vector<LabelChange>>;
  Statement select(connection_->database.Handle(),
                   "SELECT site, note, changed_utc, replaced_utc, replaced_by FROM label_history "
                   "WHERE survey_id = ? ORDER BY replaced_utc, rowid");
  select.Bind(1, id);
  std::vector<LabelChange> changes;
  int code = select.Ok() ? select.Step() : SQLITE_ERROR;
  for (; code == SQLITE_ROW; code = select.Step()) {
    changes.push_back(
        {select.Text(0), select.Text(1), select.Text(2), select.Text(3), select.Text(4)});
  }
  if (code != SQLITE_DONE) {
    return Result::Failure(connection_->CannotRead(select.Problem()));
  }
  return changes;
}

}  // namespace klxr::archive
