// The archive's reading operations: the list of surveys, finding one by id or hash prefix, its
// sightings, and a channel's history across surveys.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <unordered_map>

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

// The columns of a channel's record, in the order ReadValues reads them.
constexpr std::string_view kReadingColumns =
    "SELECT r.survey_id, r.slot, r.kind, r.sequence, r.sub_sequence, r.frequency_khz, "
    "r.channel, r.standard, r.multiplex, r.level_dbuv, r.level_over, r.level_under, "
    "r.audio_level_dbuv, r.audio_over, r.audio_under, r.cn_db, r.cn_over, r.cn_under, r.mer_db, "
    "r.mer_over, r.mer_under, r.ber, r.status, r.modulation";

// The records a channel query names: by name, by frequency, or by either.
std::string ChannelCondition(const ChannelQuery& query) {
  if (query.channel && query.frequencyKhz) {
    return "r.channel = ? OR r.frequency_khz = ?";
  }
  return query.channel ? "r.channel = ?" : "r.frequency_khz = ?";
}

// Reads the row's record into values, reusing their strings' storage.
void ReadValues(const Statement& row, RecordValues& values) {
  values.slot = static_cast<int>(row.Integer(1));
  values.kind = row.Text(2).c_str()[0];
  values.sequence = static_cast<int>(row.Integer(3));
  values.subSequence = static_cast<int>(row.Integer(4));
  values.frequencyKhz = static_cast<std::uint32_t>(row.Integer(5));
  values.channel = row.Text(6);
  values.standard = row.Text(7);
  values.multiplex = row.Text(8);
  values.level = MeasurementOf(row, 9);
  values.audioLevel = MeasurementOf(row, 12);
  values.carrierToNoise = MeasurementOf(row, 15);
  values.mer = MeasurementOf(row, 18);
  values.ber = row.OptionalReal(21);
  values.status = row.Text(22);
  values.modulation = row.Text(23);
}

// A survey's id, date and site.
struct SurveyPlace {
  SurveyId id;
  std::string readUtc;
  std::string site;
};

// Each survey's place in the order of reading, found by its id.
class SurveyOrder {
 public:
  explicit SurveyOrder(const std::vector<SurveyPlace>& places) {
    rankOf_.reserve(places.size());
    for (std::size_t rank = 0; rank < places.size(); ++rank) {
      rankOf_.emplace(places[rank].id, rank);
      idsFollowReading_ = idsFollowReading_ && (rank == 0 || places[rank - 1].id < places[rank].id);
    }
  }
  // None for a survey stored after the list of surveys was read.
  std::optional<std::size_t> RankOf(SurveyId id) const {
    const auto found = rankOf_.find(id);
    return found == rankOf_.end() ? std::nullopt : std::optional(found->second);
  }
  bool IdsFollowReading() const { return idsFollowReading_; }

 private:
  std::unordered_map<SurveyId, std::size_t> rankOf_;
  bool idsFollowReading_ = true;
};

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
  std::vector<ChannelReading> readings;
  const auto visited = VisitChannelHistory(
      channelOrFrequency, [&](const ChannelReading& reading) { readings.push_back(reading); });
  if (!visited) {
    return ArchiveResult<std::vector<ChannelReading>>::Failure(visited.Problem());
  }
  return readings;
}

ArchiveResult<std::size_t> SurveyArchive::VisitChannelHistory(
    std::string_view channelOrFrequency, const std::function<void(const ChannelReading&)>& visit) {
  using Result = ArchiveResult<std::size_t>;
  // The surveys in the order they were read: a small table, read whole.
  Statement surveys(connection_->database.Handle(),
                    "SELECT id, read_utc, site FROM surveys ORDER BY read_utc, id");
  std::vector<SurveyPlace> places;
  int code = surveys.Ok() ? surveys.Step() : SQLITE_ERROR;
  for (; code == SQLITE_ROW; code = surveys.Step()) {
    places.push_back({surveys.Integer(0), surveys.Text(1), surveys.Text(2)});
  }
  if (code != SQLITE_DONE) {
    return Result::Failure(connection_->CannotRead(surveys.Problem()));
  }
  // The records come by survey id without a join. Where ids follow the order of reading (surveys
  // stored as they were read) each goes straight to visit; else (older logs imported later) they
  // are gathered and put in order first.
  const SurveyOrder order(places);
  const ChannelQuery query = ParseChannelQuery(channelOrFrequency);
  Statement select(connection_->database.Handle(),
                   std::string(kReadingColumns) + " FROM records r WHERE " +
                       ChannelCondition(query) + " ORDER BY r.survey_id, r.slot");
  int parameter = 1;
  if (query.channel) {
    select.Bind(parameter++, std::string_view(*query.channel));
  }
  if (query.frequencyKhz) {
    select.Bind(parameter, std::int64_t{*query.frequencyKhz});
  }
  std::vector<std::pair<std::size_t, ChannelReading>> gathered;
  std::size_t count = 0;
  ChannelReading reading;
  code = select.Ok() ? select.Step() : SQLITE_ERROR;
  for (; code == SQLITE_ROW; code = select.Step()) {
    const std::optional<std::size_t> rank = order.RankOf(select.Integer(0));
    if (!rank) {
      continue;
    }
    ++count;
    const SurveyPlace& place = places[*rank];
    reading.survey = place.id;
    reading.readUtc = place.readUtc;
    reading.site = place.site;
    ReadValues(select, reading.values);
    if (order.IdsFollowReading()) {
      visit(reading);
    } else {
      gathered.emplace_back(*rank, reading);
    }
  }
  if (code != SQLITE_DONE) {
    return Result::Failure(connection_->CannotRead(select.Problem()));
  }
  std::stable_sort(gathered.begin(), gathered.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [rank, found] : gathered) {
    visit(found);
  }
  return count;
}

}  // namespace klxr::archive
