#include "archive/team/team_archive.h"

#include <algorithm>
#include <cctype>

#include "archive/channel_query.h"
#include "archive/team/team_schema.h"
#include "archive/team/team_session.h"

namespace klxr::archive {
namespace {

constexpr std::size_t kShortestPrefix = 4;

bool AllOf(std::string_view text, int (*test)(int)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [test](char c) {
    return test(static_cast<unsigned char>(c)) != 0;
  });
}

Measurement MeasurementOf(const PqResult& rows, int row, int column) {
  return {rows.OptionalReal(row, column), rows.Boolean(row, column + 1),
          rows.Boolean(row, column + 2)};
}

ChannelReading ReadingOf(const PqResult& rows, int row) {
  ChannelReading reading;
  reading.survey = rows.Integer(row, 0);
  reading.readUtc = rows.Text(row, 1);
  reading.site = rows.Text(row, 2);
  RecordValues& values = reading.values;
  values.slot = static_cast<int>(rows.Integer(row, 3));
  const std::string kind = rows.Text(row, 4);
  values.kind = kind.empty() ? '\0' : kind[0];
  values.sequence = static_cast<int>(rows.Integer(row, 5));
  values.subSequence = static_cast<int>(rows.Integer(row, 6));
  values.frequencyKhz = static_cast<std::uint32_t>(rows.Integer(row, 7));
  values.channel = rows.Text(row, 8);
  values.standard = rows.Text(row, 9);
  values.multiplex = rows.Text(row, 10);
  values.level = MeasurementOf(rows, row, 11);
  values.audioLevel = MeasurementOf(rows, row, 14);
  values.carrierToNoise = MeasurementOf(rows, row, 17);
  values.mer = MeasurementOf(rows, row, 20);
  values.ber = rows.OptionalReal(row, 23);
  values.status = rows.Text(row, 24);
  values.modulation = rows.Text(row, 25);
  return reading;
}

// Connects, and learns the role's name for the texts of refused writes.
ArchiveResult<std::unique_ptr<TeamArchive::Session>> Connect(const std::string& connection) {
  using Result = ArchiveResult<std::unique_ptr<TeamArchive::Session>>;
  if (std::string refused = CheckConnectionString(connection); !refused.empty()) {
    return Result::Failure(std::move(refused));
  }
  auto session = std::make_unique<TeamArchive::Session>();
  if (const std::string problem = session->connection.Connect(connection); !problem.empty()) {
    return Result::Failure("cannot connect to the team archive: " + problem);
  }
  const PqResult role = session->connection.Execute("SELECT session_user");
  if (!role.Ok() || role.Rows() != 1) {
    return Result::Failure("cannot connect to the team archive: " + role.Problem());
  }
  session->role = role.Text(0, 0);
  return session;
}

}  // namespace

bool TeamArchiveAvailable() {
  return true;
}

std::string CheckConnectionString(const std::string& connection) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(connection.c_str(), &error);
  if (options == nullptr) {
    std::string problem = "the team archive's connection string is not valid";
    if (error != nullptr) {
      problem += ": " + FirstLine(error);
      PQfreemem(error);
    }
    return problem;
  }
  bool password = false;
  for (const PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
    password = password || (std::string_view(option->keyword) == "password" &&
                            option->val != nullptr && option->val[0] != '\0');
  }
  PQconninfoFree(options);
  if (password) {
    return "the team archive's connection string holds a password: keep it in libpq's password "
           "file (~/.pgpass) or service file instead";
  }
  return {};
}

std::string TeamArchive::Session::CannotWrite(const PqResult& result) const {
  if (result.SqlState() == "42501") {
    return ReadOnlyText();
  }
  return "cannot write to the team archive: " + result.Problem();
}

TeamSurvey TeamSurveyOf(const PqResult& rows, int row) {
  TeamSurvey team;
  SurveySummary& survey = team.survey;
  survey.id = rows.Integer(row, 0);
  survey.sha256 = rows.Text(row, 1);
  survey.readUtc = rows.Text(row, 2);
  survey.timeZone = rows.Text(row, 3);
  survey.meterVersion = rows.OptionalText(row, 4);
  survey.adapterSerial = rows.OptionalText(row, 5);
  survey.source = rows.Text(row, 6);
  survey.recordCount = static_cast<int>(rows.Integer(row, 7));
  survey.complete = rows.Boolean(row, 8);
  survey.site = rows.Text(row, 9);
  survey.note = rows.Text(row, 10);
  survey.labelChangedUtc = rows.Text(row, 11);
  survey.sightings = 1;
  team.pushedBy = rows.Text(row, 12);
  team.pushedFrom = rows.Text(row, 13);
  team.pushedAt = rows.Text(row, 14);
  return team;
}

TeamArchive::TeamArchive(std::unique_ptr<Session> session) : session_(std::move(session)) {}

TeamArchive::~TeamArchive() = default;

ArchiveResult<std::unique_ptr<TeamArchive>> TeamArchive::Open(const std::string& connection) {
  using Result = ArchiveResult<std::unique_ptr<TeamArchive>>;
  auto session = Connect(connection);
  if (!session) {
    return Result::Failure(session.Problem());
  }
  if (const std::string problem = CheckTeamSchema(session.Value()->connection); !problem.empty()) {
    return Result::Failure(problem);
  }
  return std::unique_ptr<TeamArchive>(new TeamArchive(std::move(session).Value()));
}

ArchiveResult<std::unique_ptr<TeamArchive>> TeamArchive::Initialize(const std::string& connection) {
  using Result = ArchiveResult<std::unique_ptr<TeamArchive>>;
  auto session = Connect(connection);
  if (!session) {
    return Result::Failure(session.Problem());
  }
  if (const std::string problem = MigrateTeamArchive(session.Value()->connection);
      !problem.empty()) {
    return Result::Failure("cannot set up the team archive's schema: " + problem);
  }
  return std::unique_ptr<TeamArchive>(new TeamArchive(std::move(session).Value()));
}

ArchiveResult<std::vector<TeamSurvey>> TeamArchive::List(const TeamFilter& filter) {
  using Result = ArchiveResult<std::vector<TeamSurvey>>;
  const PqResult rows = session_->connection.Execute(
      "SELECT " + std::string(kTeamSummaryColumns) +
          " FROM surveys s WHERE ($1 = '' OR s.site = $1) AND ($2 = '' OR s.read_utc >= $2) "
          "ORDER BY s.read_utc DESC, s.id DESC",
      {PqValue::Text(filter.site), PqValue::Text(filter.since)});
  if (!rows.Ok()) {
    return Result::Failure(session_->CannotRead(rows.Problem()));
  }
  std::vector<TeamSurvey> surveys;
  for (int row = 0; row < rows.Rows(); ++row) {
    surveys.push_back(TeamSurveyOf(rows, row));
  }
  return surveys;
}

ArchiveResult<TeamSurvey> TeamArchive::Find(std::string_view name) {
  using Result = ArchiveResult<TeamSurvey>;
  const std::string text(name);
  const std::string select = "SELECT " + std::string(kTeamSummaryColumns) + " FROM surveys s ";
  if (AllOf(name, std::isdigit) && name.size() < 19) {
    const PqResult byId =
        session_->connection.Execute(select + "WHERE s.id = $1::bigint", {PqValue::Text(text)});
    if (!byId.Ok()) {
      return Result::Failure(session_->CannotRead(byId.Problem()));
    }
    if (byId.Rows() == 1) {
      return TeamSurveyOf(byId, 0);
    }
  }
  if (name.size() >= kShortestPrefix && AllOf(name, std::isxdigit)) {
    std::string prefix = text;
    std::transform(prefix.begin(), prefix.end(), prefix.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const PqResult byHash = session_->connection.Execute(
        select + "WHERE s.sha256 >= $1 AND s.sha256 < $2 ORDER BY s.sha256 LIMIT 2",
        {PqValue::Text(prefix), PqValue::Text(prefix + "g")});
    if (!byHash.Ok()) {
      return Result::Failure(session_->CannotRead(byHash.Problem()));
    }
    if (byHash.Rows() > 1) {
      return Result::Failure("'" + text +
                             "' names more than one team survey: give more digits of the hash");
    }
    if (byHash.Rows() == 1) {
      return TeamSurveyOf(byHash, 0);
    }
  }
  return Result::Failure("no survey '" + text + "' in the team archive (give an id, or at least " +
                         std::to_string(kShortestPrefix) + " hexadecimal digits of a hash)");
}

ArchiveResult<LogImage> TeamArchive::Image(SurveyId id) {
  using Result = ArchiveResult<LogImage>;
  const PqResult rows = session_->connection.Execute(
      "SELECT image FROM surveys WHERE id = $1::bigint", {PqValue::Text(std::to_string(id))}, true);
  if (!rows.Ok() || rows.Rows() != 1) {
    return Result::Failure(rows.Ok() ? "no survey " + std::to_string(id) + " in the team archive"
                                     : session_->CannotRead(rows.Problem()));
  }
  const std::span<const std::uint8_t> bytes = rows.Bytes(0, 0);
  LogImage image;
  if (bytes.size() != image.bytes.size()) {
    return Result::Failure(
        session_->CannotRead("the image of survey " + std::to_string(id) + " is not 100352 bytes"));
  }
  std::copy(bytes.begin(), bytes.end(), image.bytes.begin());
  return image;
}

ArchiveResult<std::vector<ChannelReading>> TeamArchive::ChannelHistory(
    std::string_view channelOrFrequency, std::string_view site) {
  using Result = ArchiveResult<std::vector<ChannelReading>>;
  const ChannelQuery query = ParseChannelQuery(channelOrFrequency);
  const PqResult rows = session_->connection.Execute(
      "SELECT s.id, s.read_utc, s.site, r.slot, r.kind, r.sequence, r.sub_sequence, "
      "r.frequency_khz, r.channel, r.standard, r.multiplex, r.level_dbuv, r.level_over, "
      "r.level_under, r.audio_level_dbuv, r.audio_over, r.audio_under, r.cn_db, r.cn_over, "
      "r.cn_under, r.mer_db, r.mer_over, r.mer_under, r.ber, r.status, r.modulation "
      "FROM records r JOIN surveys s ON s.id = r.survey_id "
      "WHERE (lower(r.channel) = lower($1) OR r.frequency_khz = $2::integer) "
      "AND ($3 = '' OR s.site = $3) ORDER BY s.read_utc, s.id, r.slot",
      {query.channel ? PqValue::Text(*query.channel) : PqValue::Null(),
       query.frequencyKhz ? PqValue::Text(std::to_string(*query.frequencyKhz)) : PqValue::Null(),
       PqValue::Text(std::string(site))});
  if (!rows.Ok()) {
    return Result::Failure(session_->CannotRead(rows.Problem()));
  }
  std::vector<ChannelReading> readings;
  readings.reserve(static_cast<std::size_t>(rows.Rows()));
  for (int row = 0; row < rows.Rows(); ++row) {
    readings.push_back(ReadingOf(rows, row));
  }
  return readings;
}

ArchiveResult<std::vector<LabelChange>> TeamArchive::LabelHistory(SurveyId id) {
  using Result = ArchiveResult<std::vector<LabelChange>>;
  const PqResult rows = session_->connection.Execute(
      "SELECT site, note, changed_utc, "
      "to_char(replaced_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'), replaced_by "
      "FROM label_history WHERE survey_id = $1::bigint ORDER BY replaced_at",
      {PqValue::Text(std::to_string(id))});
  if (!rows.Ok()) {
    return Result::Failure(session_->CannotRead(rows.Problem()));
  }
  std::vector<LabelChange> changes;
  for (int row = 0; row < rows.Rows(); ++row) {
    changes.push_back({rows.Text(row, 0), rows.Text(row, 1), rows.Text(row, 2), rows.Text(row, 3),
                       rows.Text(row, 4)});
  }
  return changes;
}

}  // namespace klxr::archive
