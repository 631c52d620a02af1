#include "desktop/history_rows.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <tuple>
#include <unordered_map>

namespace klxr {
namespace {

// Reads exactly the digits of text[at, at + count) as a number; -1 when one is not a digit.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) {
    return -1;
  }
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
      return -1;
    }
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// "+01:00" or "-05:30" in minutes; false when it is no offset.
bool OffsetMinutesOf(std::string_view zone, int& minutes) {
  if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':') {
    return false;
  }
  const int hours = Digits(zone, 1, 2);
  const int rest = Digits(zone, 4, 2);
  if (hours < 0 || rest < 0) {
    return false;
  }
  minutes = (zone[0] == '-' ? -1 : 1) * (hours * 60 + rest);
  return true;
}

bool TextLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

// -1, 0 or 1 as a sorts before, with, or after b by the column, ascending.
int CompareBy(const HistoryRow& a, const HistoryRow& b, HistoryColumn column) {
  const auto order = [](bool less, bool greater) { return less ? -1 : (greater ? 1 : 0); };
  const auto texts = [&](std::string_view x, std::string_view y) {
    return order(TextLess(x, y), TextLess(y, x));
  };
  const archive::SurveySummary& x = a.survey;
  const archive::SurveySummary& y = b.survey;
  switch (column) {
    case HistoryColumn::Id:
      return order(x.id<y.id, x.id> y.id);
    case HistoryColumn::Date:
      return order(x.readUtc<y.readUtc, x.readUtc> y.readUtc);
    case HistoryColumn::Site:
      return texts(x.site, y.site);
    case HistoryColumn::Meter:
      return texts(a.meter, b.meter);
    case HistoryColumn::Records:
      return order(x.recordCount<y.recordCount, x.recordCount> y.recordCount);
    case HistoryColumn::Complete:
      return order(x.complete<y.complete, x.complete> y.complete);
    case HistoryColumn::Source:
      return texts(x.source, y.source);
    case HistoryColumn::Note:
      return texts(x.note, y.note);
    case HistoryColumn::Where:
      return texts(PlaceName(a.where), PlaceName(b.where));
  }
  return 0;
}

}  // namespace

std::optional<std::chrono::sys_seconds> ReadUtcTime(std::string_view readUtc) {
  using namespace std::chrono;
  const int year = Digits(readUtc, 0, 4);
  const int month = Digits(readUtc, 5, 2);
  const int day = Digits(readUtc, 8, 2);
  const int hour = Digits(readUtc, 11, 2);
  const int minute = Digits(readUtc, 14, 2);
  const int second = Digits(readUtc, 17, 2);
  const year_month_day date{std::chrono::year(year), std::chrono::month(month),
                            std::chrono::day(day)};
  if (readUtc.size() != 20 || readUtc[4] != '-' || readUtc[7] != '-' || readUtc[10] != 'T' ||
      readUtc[13] != ':' || readUtc[16] != ':' || readUtc[19] != 'Z' || year < 0 || !date.ok() ||
      hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) {
    return std::nullopt;
  }
  return sys_days(date) + hours(hour) + minutes(minute) + seconds(second);
}

std::string LocalReadTime(std::string_view readUtc, std::string_view timeZone) {
  using namespace std::chrono;
  int offset = 0;
  const std::optional<sys_seconds> utc = ReadUtcTime(readUtc);
  if (!utc || !OffsetMinutesOf(timeZone, offset)) {
    return std::string(readUtc);
  }
  const sys_time<minutes> local = floor<minutes>(*utc) + minutes(offset);
  const year_month_day localDate(floor<days>(local));
  const hh_mm_ss<minutes> localTime(local - floor<days>(local));
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d", static_cast<int>(localDate.year()),
                static_cast<unsigned>(localDate.month()), static_cast<unsigned>(localDate.day()),
                static_cast<int>(localTime.hours().count()),
                static_cast<int>(localTime.minutes().count()));
  return text;
}

HistoryRow RowOf(const archive::SurveySummary& survey) {
  HistoryRow row;
  row.survey = survey;
  row.date = LocalReadTime(survey.readUtc, survey.timeZone);
  row.meter = survey.meterVersion    ? *survey.meterVersion
              : survey.adapterSerial ? *survey.adapterSerial
                                     : std::string();
  return row;
}

std::vector<HistoryRow> RowsOf(const std::vector<archive::SurveySummary>& surveys) {
  std::vector<HistoryRow> rows;
  rows.reserve(surveys.size());
  for (const archive::SurveySummary& survey : surveys) {
    rows.push_back(RowOf(survey));
  }
  return rows;
}

void AddTeamRows(std::vector<HistoryRow>& rows, const std::vector<archive::SurveySummary>& team) {
  std::unordered_map<std::string, std::size_t> local;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    local.emplace(rows[i].survey.sha256, i);
  }
  for (const archive::SurveySummary& survey : team) {
    if (const auto found = local.find(survey.sha256); found != local.end()) {
      HistoryRow& row = rows[found->second];
      row.where = HistoryPlace::Both;
      row.teamId = survey.id;
      continue;
    }
    HistoryRow row = RowOf(survey);
    row.where = HistoryPlace::Team;
    row.teamId = survey.id;
    row.survey.id = TeamOnlyId(survey.id);
    rows.push_back(std::move(row));
  }
}

std::string_view PlaceName(HistoryPlace place) {
  switch (place) {
    case HistoryPlace::Local:
      return "local";
    case HistoryPlace::Team:
      return "team";
    case HistoryPlace::Both:
      return "both";
  }
  return {};
}

std::string CellText(const HistoryRow& row, HistoryColumn column) {
  switch (column) {
    case HistoryColumn::Id:
      return IsTeamOnly(row.survey.id) ? "T" + std::to_string(row.teamId)
                                       : std::to_string(row.survey.id);
    case HistoryColumn::Date:
      return row.date;
    case HistoryColumn::Site:
      return row.survey.site;
    case HistoryColumn::Meter:
      return row.meter;
    case HistoryColumn::Records:
      return std::to_string(row.survey.recordCount);
    case HistoryColumn::Complete:
      return row.survey.complete ? "yes" : "no";
    case HistoryColumn::Source:
      return row.survey.source;
    case HistoryColumn::Note:
      return row.survey.note;
    case HistoryColumn::Where:
      return std::string(PlaceName(row.where));
  }
  return {};
}

void SortRows(std::vector<HistoryRow>& rows, HistoryColumn column, bool ascending) {
  std::sort(rows.begin(), rows.end(), [&](const HistoryRow& a, const HistoryRow& b) {
    int order = CompareBy(a, b, column);
    if (order == 0) {
      order = CompareBy(a, b, HistoryColumn::Id);
    }
    return ascending ? order < 0 : order > 0;
  });
}

bool SortByHeading(std::vector<HistoryRow>& rows, int section, HistoryColumn& sortedBy,
                   bool& ascending) {
  if (section < 0 || section >= static_cast<int>(kHistoryColumns.size())) {
    return false;
  }
  const HistoryColumn clicked = kHistoryColumns[static_cast<std::size_t>(section)].column;
  ascending = clicked == sortedBy
                  ? !ascending
                  : clicked != HistoryColumn::Date && clicked != HistoryColumn::Records &&
                        clicked != HistoryColumn::Id;
  sortedBy = clicked;
  SortRows(rows, sortedBy, ascending);
  return true;
}

}  // namespace klxr
