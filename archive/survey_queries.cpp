// The archive's reading operations: the list of surveys, finding one by id or hash prefix, its
// sightings, and a channel's history across surveys.
#include <cctype>
#include <charconv>

#include "archive/channel_query.h"
#include "archive/survey_archive.h"
#include "archive/survey_connection.h"

namespace klxr::archive {
namespace {

// The shortest hash prefix that names a survey.
constexpr std::size_t kShortestPrefix = 4;

bool AllOf(std::string_view text, int (*test)(int)) {
  for (const char c : text) {
    if (test(static_cast<unsigned char>(c)) == 0) {
      return false;
    }
  }
  return !text.empty();
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return lower;
}

Measurement MeasurementOf(const Statement& row, int column) {
  return {row.OptionalReal(column), row.Integer(column + 1) != 0, row.Integer(column + 2) != 0};
}

ChannelReading ReadingOf(const Statement& row) {
  ChannelReading reading;
  reading.survey = row.Integer(0);
  reading.readUtc = row.Text(1);
  reading.site = row.Text(2);
  RecordValues& values = reading.values;
  values.slot = static_cast<int>(row.Integer(3));
  const std::string kind = row.Text(4);
  values.kind = kind.empty() ? '\0' : kind[0];
  values.sequence = static_cast<int>(row.Integer(5));
  values.subSequence = static_cast<int>(row.Integer(6));
  values.frequencyKhz = static_cast<std::uint32_t>(row.Integer(7));
  values.channel = row.Text(8);
  values.standard = row.Text(9);
  values.multiplex = row.Text(10);
  values.level = MeasurementOf(row, 11);
  values.audioLevel = MeasurementOf(row, 14);
  values.carrierToNoise = MeasurementOf(row, 17);
  values.mer = MeasurementOf(row, 20);
  values.ber = row.OptionalReal(23);
  values.status = row.Text(24);
  values.modulation = row.Text(25);
  return reading;
}

}  // namespace

SurveySummary SummaryOf(const Statement& row) {
  SurveySummary summary;
  summary.id = row.Integer(0);
  summary.sha256 = row.Text(1);
  summary.readUtc = row.Text(2);
  summary.timeZone = row.Text(3);
  summary.meterVersion = row.OptionalText(4);
  summary.adapterSerial = row.OptionalText(5);
  summary.source = row.Text(6);
  summary.recordCount = static_cast<int>(row.Integer(7));
  summary.complete = row.Integer(8) != 0;
  summary.site = row.Text(9);
  summary.note = row.Text(10);
  summary.sightings = static_cast<int>(row.Integer(11));
  summary.labelChangedUtc = row.Text(12);
  return summary;
}

std::string NoSurveyText(SurveyId id) {
  return "no survey " + std::to_string(id) + " in the archive";
}

ArchiveResult<std::vector<SurveySummary>> SurveyArchive::List() {
  using Result = ArchiveResult<std::vector<SurveySummary>>;
  Statement select(connection_->database.Handle(),
                   "SELECT " + std::string(kSummaryColumns) +
                       " FROM surveys s ORDER BY s.read_utc DESC, s.id DESC");
  std::vector<SurveySummary> surveys;
  int code = select.Ok() ? select.Step() : SQLITE_ERROR;
  for (; code == SQLITE_ROW; code = select.Step()) {
    surveys.push_back(SummaryOf(select));
  }
  if (code != SQLITE_DONE) {
    return Result::Failure(connection_->CannotRead(select.Problem()));
  }
  return surveys;
}

ArchiveResult<SurveySummary> SurveyArchive::Find(std::string_view name) {
  using Result = ArchiveResult<SurveySummary>;
  const std::string columns = "SELECT " + std::string(kSummaryColumns) + " FROM surveys s ";
  std::vector<SurveySummary> found;
  const auto collect = [&](Statement& select) {
    int code = select.Ok() ? select.Step() : SQLITE_ERROR;
    for (; code == SQLITE_ROW; code = select.Step()) {
      found.push_back(SummaryOf(select));
    }
    return code == SQLITE_DONE;
  };
  SurveyId id = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), id);
  if (AllOf(name, std::isdigit) && error == std::errc() && end == name.data() + name.size()) {
    Statement byId(connection_->database.Handle(), columns + "WHERE s.id = ?");
    byId.Bind(1, id);
    if (!collect(byId)) {
      return Result::Failure(connection_->CannotRead(byId.Problem()));
    }
  }
  if (found.empty() && name.size() >= kShortestPrefix && AllOf(name, std::isxdigit)) {
    // The hash's index answers a range from the prefix to the prefix followed by the last digit.
    const std::string prefix = LowerCase(name);
    Statement byHash(connection_->database.Handle(),
                     columns + "WHERE s.sha256 >= ? AND s.sha256 < ? LIMIT 2");
    byHash.Bind(1, std::string_view(prefix));
    byHash.Bind(2, std::string_view(prefix + "g"));
    if (!collect(byHash)) {
      return Result::Failure(connection_->CannotRead(byHash.Problem()));
    }
  }
  if (found.size() > 1) {
    return Result::Failure("'" + std::string(name) +
                           "' names more than one survey: give more digits of the hash");
  }
  if (found.empty()) {
    return Result::Failure("no survey '" + std::string(name) +
                           "' in the archive (give an id, or at least " +
                           std::to_string(kShortestPrefix) + " hexadecimal digits of a hash)");
  }
  return found.front();
}

ArchiveResult<std::vector<Sighting>> SurveyArchive::Sightings(SurveyId id) {
  using Result = ArchiveResult<std::vector<Sighting>>;
  Statement select(connection_->database.Handle(),
                   "SELECT seen_utc, time_zone, source FROM survey_sightings WHERE survey_id = ? "
                   "ORDER BY seen_utc, rowid");
  select.Bind(1, id);
  std::vector<Sighting> sightings;
  int code = select.Ok() ? select.Step() : SQLITE_ERROR;
  for (; code == SQLITE_ROW; code = select.Step()) {
    sightings.push_back({select.Text(0), select.Text(1), select.Text(2)});
  }
  if (code != SQLITE_DONE) {
    return Result::Failure(connection_->CannotRead(select.Problem()));
  }
  return sightings;
}

ArchiveResult<std::vector<ChannelReading>> SurveyArchive::ChannelHistory(
    std::string_view channelOrFrequency) {
  using Result = ArchiveResult<std::vector<ChannelReading>>;
  const ChannelQuery query = ParseChannelQuery(channelOrFrequency);
  Statement select(
      connection_->database.Handle(),
      "SELECT s.id, s.read_utc, s.site, r.slot, r.kind, r.sequence, r.sub_sequence, "
      "r.frequency_khz, r.channel, r.standard, r.multiplex, r.level_dbuv, r.level_over, "
      "r.level_under, r.audio_level_dbuv, r.audio_over, r.audio_under, r.cn_db, r.cn_over, "
      "r.cn_under, r.mer_db, r.mer_over, r.mer_under, r.ber, r.status, r.modulation "
      "FROM records r JOIN surveys s ON s.id = r.survey_id "
      "WHERE r.channel = ? OR r.frequency_khz = ? "
      "ORDER BY s.read_utc, s.id, r.slot");
  select.Bind(1, query.channel);
  if (query.frequencyKhz) {
    select.Bind(2, std::int64_t{*query.frequencyKhz});
  }
  std::vector<ChannelReading> readings;
  int code = select.Ok() ? select.Step() : SQLITE_ERROR;
  for (; code == SQLITE_ROW; code = select.Step()) {
    readings.push_back(ReadingOf(select));
  }
  if (code != SQLITE_DONE) {
    return Result::Failure(connection_->CannotRead(select.Problem()));
  }
  return readings;
}

}  // namespace klxr::archive
