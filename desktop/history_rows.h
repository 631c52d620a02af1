// The rows of the "History" window: one per survey of the archive, with the texts its columns
// show and the orders a click on a column's heading gives. Texts are UTF-8, as the archive keeps
// them.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/survey.h"

namespace klxr {

enum class HistoryColumn { Id, Date, Site, Meter, Records, Complete, Source, Note, Where };

struct HistoryColumnInfo {
  HistoryColumn column;
  std::string_view heading;
  std::string_view sample;  // a long value of the column, for its width
  bool rightAligned;        // numbers
};

inline constexpr std::array<HistoryColumnInfo, 9> kHistoryColumns{{
    {HistoryColumn::Id, "Survey", "00000", true},
    {HistoryColumn::Date, "Read", "2026-12-31 23:59", false},
    {HistoryColumn::Site, "Site", "Hill Road 4, Block B", false},
    {HistoryColumn::Meter, "Meter", "KLXR V2.31 S/N 104512", false},
    {HistoryColumn::Records, "Records", "1568", true},
    {HistoryColumn::Complete, "Complete", "yes", false},
    {HistoryColumn::Source, "Source", "import", false},
    {HistoryColumn::Note, "Note", "after the aerial was repaired", false},
    {HistoryColumn::Where, "Where", "local", false},
}};

// Where a survey lives: in the local archive, in the team archive, or in both (the same image).
enum class HistoryPlace { Local, Team, Both };

struct HistoryRow {
  archive::SurveySummary survey;
  std::string date;   // local time of the computer that read it, "2026-03-14 10:26"
  std::string meter;  // the meter's version text, else the adapter's serial number, else empty
  HistoryPlace where = HistoryPlace::Local;
  archive::SurveyId teamId = 0;  // the team archive's id; 0 for a survey only the local one has
};

// The id a survey only the team archive has goes by in the window: the team's id negated, so that
// it is never a local survey's id. Its Survey column shows "T" and the team's id.
inline archive::SurveyId TeamOnlyId(archive::SurveyId teamId) {
  return -teamId;
}
inline bool IsTeamOnly(archive::SurveyId id) {
  return id < 0;
}

// A survey's time as the archive keeps it, 'YYYY-MM-DDTHH:MM:SSZ'; none when it is not one.
std::optional<std::chrono::sys_seconds> ReadUtcTime(std::string_view readUtc);

// The time of a survey in the local time it was read in: the UTC time moved by the offset kept
// beside it, to the minute ("2026-03-14T09:26:53Z" and "+01:00" give "2026-03-14 10:26"). A time
// or offset that cannot be read gives the UTC text as it is.
std::string LocalReadTime(std::string_view readUtc, std::string_view timeZone);

HistoryRow RowOf(const archive::SurveySummary& survey);
std::vector<HistoryRow> RowsOf(const std::vector<archive::SurveySummary>& surveys);

// The local rows with the team's surveys beside them, matched by their image's SHA-256: a local
// row whose image the team has is "both"; a team survey the local archive lacks is a row of its
// own, "team", under its TeamOnlyId.
void AddTeamRows(std::vector<HistoryRow>& rows, const std::vector<archive::SurveySummary>& team);

std::string_view PlaceName(HistoryPlace place);

// The text of a row's column, as the window shows it.
std::string CellText(const HistoryRow& row, HistoryColumn column);

// Sorts by the column, ascending or descending; rows that the column does not tell apart keep the
// order of their ids in the same direction. Dates sort by the UTC time, texts with case ignored.
void SortRows(std::vector<HistoryRow>& rows, HistoryColumn column, bool ascending);

// A click on heading number section of kHistoryColumns: sorts the rows by its column, in the other
// direction on the column already sorted by, else ascending (dates and numbers: descending, newest
// and largest first), and keeps the order in sortedBy and ascending. False, changing nothing, when
// no column has that number.
bool SortByHeading(std::vector<HistoryRow>& rows, int section, HistoryColumn& sortedBy,
                   bool& ascending);

}  // namespace klxr
