// What a SurveyArchive holds: the open database and the file's name for the problem texts. Shared
// by the files that implement the archive's operations.
#pragma once

#include <string>
#include <string_view>

#include "archive/sqlite_database.h"
#include "archive/survey.h"
#include "archive/survey_archive.h"

namespace klxr::archive {

struct SurveyArchive::Connection {
  std::string path;
  Database database;

  std::string CannotRead(std::string_view reason) const {
    return "cannot read the survey archive '" + path + "': " + std::string(reason);
  }
  std::string CannotWrite(std::string_view reason) const {
    return "cannot write to the survey archive '" + path + "': " + std::string(reason);
  }
};

// The columns of a survey as listed, in the order SummaryOf reads them.
inline constexpr std::string_view kSummaryColumns =
    "s.id, s.sha256, s.read_utc, s.time_zone, s.meter_version, s.adapter_serial, s.source, "
    "s.record_count, s.complete, s.site, s.note, "
    "(SELECT count(*) FROM survey_sightings g WHERE g.survey_id = s.id), "
    "coalesce((SELECT t.changed_utc FROM label_times t WHERE t.survey_id = s.id), '')";

SurveySummary SummaryOf(const Statement& row);

std::string NoSurveyText(SurveyId id);

// Inserts the survey with its records and its first sighting, all of its facts as the row gives
// them (its id is not used); the new id, or -1 when a statement failed.
SurveyId InsertSurveyRow(Database& database, const LogImage& image, const SurveySummary& row);

// Sets the survey's label time; false when the statement failed.
bool SetLabelTime(Database& database, SurveyId id, std::string_view changedUtc);

}  // namespace klxr::archive
