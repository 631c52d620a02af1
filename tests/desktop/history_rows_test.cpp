// The rows of the "History" window: their local times, meter texts, and their orders by each
// column.
#include "desktop/history_rows.h"

#include <gtest/gtest.h>

#include <vector>

namespace klxr {
namespace {

TEST(HistoryRows, ReadTimesShowInTheLocalTimeTheyWereReadIn) {
  const struct {
    const char* utc;
    const char* zone;
    const char* local;
  } kCases[] = {
      {"2026-03-14T09:26:53Z", "+01:00", "2026-03-14 10:26"},
      {"2026-12-31T23:30:00Z", "+01:00", "2027-01-01 00:30"},
      {"2026-03-01T02:00:59Z", "-05:30", "2026-02-28 20:30"},
      {"2024-03-01T00:10:00Z", "-01:00", "2024-02-29 23:10"},
      {"2026-06-30T20:15:00Z", "+05:45", "2026-07-01 02:00"},
      {"2026-03-14T09:26:53Z", "+00:00", "2026-03-14 09:26"},
      // What cannot be read is shown as it is kept.
      {"2026-03-14T09:26:53Z", "CET", "2026-03-14T09:26:53Z"},
      {"2026-02-30T09:26:53Z", "+01:00", "2026-02-30T09:26:53Z"},
      {"2026-03-14 09:26:53", "+01:00", "2026-03-14 09:26:53"},
      {"", "+01:00", ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(LocalReadTime(c.utc, c.zone), c.local) << c.utc << " " << c.zone;
  }
}

TEST(HistoryRows, TheMeterIsItsVersionElseTheAdapterSerial) {
  const struct {
    std::optional<std::string> version;
    std::optional<std::string> serial;
    const char* meter;
  } kCases[] = {
      {"KLXR 2.31", "QV104515", "KLXR 2.31"},
      {std::nullopt, "QV104515", "QV104515"},
      {std::nullopt, std::nullopt, ""},
  };
  for (const auto& c : kCases) {
    archive::SurveySummary survey;
    survey.meterVersion = c.version;
    survey.adapterSerial = c.serial;
    EXPECT_EQ(CellText(RowOf(survey), HistoryColumn::Meter), c.meter);
  }
}

HistoryRow Row(archive::SurveyId id, const char* utc, const char* site, const char* version,
               int records, bool complete) {
  archive::SurveySummary survey;
  survey.id = id;
  survey.readUtc = utc;
  survey.timeZone = "+00:00";
  survey.site = site;
  survey.meterVersion = version;
  survey.recordCount = records;
  survey.complete = complete;
  survey.source = id == 3 ? "import" : "read";
  return RowOf(survey);
}

TEST(HistoryRows, EachColumnSortsBothWaysWithTiesByTheirIds) {
  const std::vector<HistoryRow> rows{
      Row(1, "2026-01-05T10:00:00Z", "hill road", "B", 40, true),
      Row(2, "2026-03-01T08:00:00Z", "Church Lane", "A", 1568, false),
      Row(3, "2025-11-20T16:45:00Z", "Hill Road", "a", 40, true),
      Row(4, "2026-02-10T12:00:00Z", "", "C", 7, true),
  };
  const struct {
    HistoryColumn column;
    bool ascending;
    std::vector<archive::SurveyId> ids;
  } kCases[] = {
      {HistoryColumn::Id, true, {1, 2, 3, 4}},       {HistoryColumn::Id, false, {4, 3, 2, 1}},
      {HistoryColumn::Date, false, {2, 4, 1, 3}},    {HistoryColumn::Date, true, {3, 1, 4, 2}},
      {HistoryColumn::Site, true, {4, 2, 1, 3}},  // case ignored: "hill road" and "Hill Road" tie
      {HistoryColumn::Site, false, {3, 1, 2, 4}},    {HistoryColumn::Meter, true, {2, 3, 1, 4}},
      {HistoryColumn::Records, true, {4, 1, 3, 2}},  {HistoryColumn::Records, false, {2, 3, 1, 4}},
      {HistoryColumn::Complete, true, {2, 1, 3, 4}}, {HistoryColumn::Source, true, {3, 1, 2, 4}},
  };
  for (const auto& c : kCases) {
    std::vector<HistoryRow> sorted = rows;
    SortRows(sorted, c.column, c.ascending);
    std::vector<archive::SurveyId> ids;
    for (const HistoryRow& row : sorted) {
      ids.push_back(row.survey.id);
    }
    EXPECT_EQ(ids, c.ids) << static_cast<int>(c.column) << (c.ascending ? " up" : " down");
  }
}

}  // namespace
}  // namespace klxr
