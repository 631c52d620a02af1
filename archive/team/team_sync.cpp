// Push and pull between the local archive and the team's: surveys keyed by their hash, each sent
// in its own transaction (a survey is on the server with all of its records or not at all), and
// sites and notes changed on both sides settled by the later change, the other value kept in the
// survey's label history.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <map>

#include "archive/team/team_session.h"
#include "log/data_text.h"

namespace klxr::archive {
namespace {

constexpr std::string_view kCopyRecords =
    "COPY records (survey_id, slot, kind, sequence, sub_sequence, frequency_khz, channel, "
    "standard, multiplex, level_dbuv, level_over, level_under, audio_level_dbuv, audio_over, "
    "audio_under, cn_db, cn_over, cn_under, mer_db, mer_over, mer_under, ber, status, "
    "modulation) FROM STDIN";

// The label of a survey on the other side: where it is, its value and time.
struct KnownSurvey {
  SurveyId id = 0;
  SurveySummary label;
};

// A text in COPY's text form: backslash, tab and line ends escaped.
void AppendCopyText(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
}

void AppendNumber(std::string& out, double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;  // the shortest exact form
  out.append(text, end);
}

void AppendMeasurement(std::string& out, const Measurement& measurement) {
  if (measurement.value) {
    AppendNumber(out, *measurement.value);
  } else {
    out += "\\N";
  }
  out += measurement.overRange ? "\tt\t" : "\tf\t";
  out += measurement.underRange ? "t\t" : "f\t";
}

std::string RecordsCopyData(SurveyId survey, const LogImage& image) {
  std::string data;
  data.reserve(std::size_t{160} * kSlotCount);
  const std::string id = std::to_string(survey) + "\t";
  for (const RecordValues& record : RecordValuesOf(image)) {
    data += id + std::to_string(record.slot) + "\t" + std::string(1, record.kind) + "\t" +
            std::to_string(record.sequence) + "\t" + std::to_string(record.subSequence) + "\t" +
            std::to_string(record.frequencyKhz) + "\t";
    for (const std::string* text : {&record.channel, &record.standard, &record.multiplex}) {
      AppendCopyText(data, Latin1ToUtf8(*text));
      data += '\t';
    }
    AppendMeasurement(data, record.level);
    AppendMeasurement(data, record.audioLevel);
    AppendMeasurement(data, record.carrierToNoise);
    AppendMeasurement(data, record.mer);
    if (record.ber) {
      AppendNumber(data, *record.ber);
    } else {
      data += "\\N";
    }
    data += '\t';
    AppendCopyText(data, record.status);
    data += '\t';
    AppendCopyText(data, record.modulation);
    data += '\n';
  }
  return data;
}

std::string HostName() {
  char name[256] = {};
  return ::gethostname(name, sizeof name - 1) == 0 ? name : "";
}

bool SameLabel(const SurveySummary& one, const SurveySummary& other) {
  return one.site == other.site && one.note == other.note;
}

// The team's surveys with these hashes: hash -> id and label.
ArchiveResult<std::map<std::string, KnownSurvey>> TeamSurveysWithHashes(
    PqConnection& connection, const std::vector<SurveySummary>& local) {
  std::string hashes = "{";
  for (const SurveySummary& survey : local) {
    hashes += (hashes.size() > 1 ? "," : "") + survey.sha256;
  }
  const PqResult rows = connection.Execute(
      "SELECT sha256, id, site, note, label_changed_utc FROM surveys "
      "WHERE sha256 = ANY ($1::text[])",
      {PqValue::Text(hashes + "}")});
  if (!rows.Ok()) {
    return ArchiveResult<std::map<std::string, KnownSurvey>>::Failure(
        "cannot read the team archive: " + rows.Problem());
  }
  std::map<std::string, KnownSurvey> known;
  for (int row = 0; row < rows.Rows(); ++row) {
    KnownSurvey& survey = known[rows.Text(row, 0)];
    survey.id = rows.Integer(row, 1);
    survey.label.site = rows.Text(row, 2);
    survey.label.note = rows.Text(row, 3);
    survey.label.labelChangedUtc = rows.Text(row, 4);
  }
  return known;
}

// Runs the statements of one transaction; on the first failure rolls back (when the connection
// still lives) and gives that failure's result.
class TeamTransaction {
 public:
  explicit TeamTransaction(PqConnection& connection) : connection_(connection) {
    open_ = connection_.Execute("BEGIN").Ok();
  }
  ~TeamTransaction() {
    if (open_ && connection_.Alive()) {
      connection_.Execute("ROLLBACK");
    }
  }
  TeamTransaction(const TeamTransaction&) = delete;
  TeamTransaction& operator=(const TeamTransaction&) = delete;

  bool Open() const { return open_; }
  PqResult Commit() {
    PqResult result = connection_.Execute("COMMIT");
    open_ = false;
    return result;
  }

 private:
  PqConnection& connection_;
  bool open_ = false;
};

}  // namespace

ArchiveResult<SyncOutcome> TeamArchive::Push(SurveyArchive& local, const std::vector<SurveyId>& ids,
                                             const SyncProgress& progress) {
  using Result = ArchiveResult<SyncOutcome>;
  PqConnection& connection = session_->connection;
  const PqResult may = connection.Execute(
      "SELECT has_table_privilege('surveys', 'INSERT') AND has_table_privilege('records', "
      "'INSERT')");
  if (!may.Ok() || may.Rows() != 1) {
    return Result::Failure(session_->CannotRead(may.Problem()));
  }
  if (!may.Boolean(0, 0)) {
    return Result::Failure(session_->ReadOnlyText());
  }
  auto listed = local.List();
  if (!listed) {
    return Result::Failure(listed.Problem());
  }
  std::vector<SurveySummary> surveys;
  for (SurveySummary& survey : listed.Value()) {
    if (ids.empty() || std::find(ids.begin(), ids.end(), survey.id) != ids.end()) {
      surveys.push_back(std::move(survey));
    }
  }
  auto known = TeamSurveysWithHashes(connection, surveys);
  if (!known) {
    return Result::Failure(known.Problem());
  }
  SyncOutcome outcome;
  std::vector<const SurveySummary*> toSend;
  for (const SurveySummary& survey : surveys) {
    const auto team = known.Value().find(survey.sha256);
    if (team == known.Value().end()) {
      toSend.push_back(&survey);
      continue;
    }
    ++outcome.alreadyThere;
    if (survey.labelChangedUtc > team->second.label.labelChangedUtc &&
        !SameLabel(survey, team->second.label)) {
      if (std::string problem = SendLabel(team->second.id, survey); !problem.empty()) {
        return Result::Failure(std::move(problem));
      }
      ++outcome.labels;
    }
  }
  const std::string host = HostName();
  const int total = static_cast<int>(toSend.size());
  for (int done = 0; done < total; ++done) {
    if (progress && !progress(done, total)) {
      outcome.stopped = true;
      return outcome;
    }
    auto image = local.Image(toSend[done]->id);
    if (!image) {
      return Result::Failure(image.Problem());
    }
    auto sent = SendSurvey(*toSend[done], image.Value(), host);
    if (!sent) {
      return Result::Failure(sent.Problem());
    }
    ++(sent.Value() ? outcome.moved : outcome.alreadyThere);
  }
  if (progress) {
    progress(total, total);
  }
  return outcome;
}

ArchiveResult<bool> TeamArchive::SendSurvey(const SurveySummary& survey, const LogImage& image,
                                            const std::string& host) {
  using Result = ArchiveResult<bool>;
  PqConnection& connection = session_->connection;
  TeamTransaction transaction(connection);
  if (!transaction.Open()) {
    return Result::Failure("cannot write to the team archive: " + connection.LastProblem());
  }
  // A second pusher of the same survey waits here for the first one's transaction, then finds
  // the row and sends nothing.
  const PqResult inserted = connection.Execute(
      "INSERT INTO surveys (sha256, read_utc, time_zone, meter_version, adapter_serial, source, "
      "record_count, complete, site, note, label_changed_utc, pushed_from, image) "
      "VALUES ($1, $2, $3, $4, $5, $6, $7::integer, $8::boolean, $9, $10, $11, $12, $13) "
      "ON CONFLICT (sha256) DO NOTHING RETURNING id",
      {PqValue::Text(survey.sha256), PqValue::Text(survey.readUtc), PqValue::Text(survey.timeZone),
       survey.meterVersion ? PqValue::Text(*survey.meterVersion) : PqValue::Null(),
       survey.adapterSerial ? PqValue::Text(*survey.adapterSerial) : PqValue::Null(),
       PqValue::Text(survey.source), PqValue::Text(std::to_string(survey.recordCount)),
       PqValue::Text(survey.complete ? "true" : "false"), PqValue::Text(survey.site),
       PqValue::Text(survey.note), PqValue::Text(survey.labelChangedUtc), PqValue::Text(host),
       PqValue::Bytes(image.bytes)});
  if (!inserted.Ok()) {
    return Result::Failure(session_->CannotWrite(inserted));
  }
  if (inserted.Rows() == 0) {
    return false;  // pushed by someone else meanwhile; the transaction is rolled back
  }
  const SurveyId id = inserted.Integer(0, 0);
  if (const std::string problem =
          connection.CopyIn(std::string(kCopyRecords), RecordsCopyData(id, image));
      !problem.empty()) {
    return Result::Failure("cannot write to the team archive: " + problem);
  }
  if (const PqResult committed = transaction.Commit(); !committed.Ok()) {
    return Result::Failure(session_->CannotWrite(committed));
  }
  return true;
}

std::string TeamArchive::SendLabel(SurveyId teamId, const SurveySummary& label) {
  PqConnection& connection = session_->connection;
  TeamTransaction transaction(connection);
  const std::string id = std::to_string(teamId);
  // The team's value is kept only when the local change is still the later one.
  const PqResult kept = connection.Execute(
      "INSERT INTO label_history (survey_id, site, note, changed_utc) "
      "SELECT id, site, note, label_changed_utc FROM surveys "
      "WHERE id = $1::bigint AND label_changed_utc < $2",
      {PqValue::Text(id), PqValue::Text(label.labelChangedUtc)});
  if (!transaction.Open() || !kept.Ok()) {
    return session_->CannotWrite(kept);
  }
  const PqResult updated = connection.Execute(
      "UPDATE surveys SET site = $2, note = $3, label_changed_utc = $4 "
      "WHERE id = $1::bigint AND label_changed_utc < $4",
      {PqValue::Text(id), PqValue::Text(label.site), PqValue::Text(label.note),
       PqValue::Text(label.labelChangedUtc)});
  if (!updated.Ok()) {
    return session_->CannotWrite(updated);
  }
  const PqResult committed = transaction.Commit();
  return committed.Ok() ? std::string() : session_->CannotWrite(committed);
}

ArchiveResult<SyncOutcome> TeamArchive::Pull(SurveyArchive& local, const TeamFilter& filter,
                                             const SyncProgress& progress) {
  using Result = ArchiveResult<SyncOutcome>;
  auto team = List(filter);
  auto listed = team ? local.List() : ArchiveResult<std::vector<SurveySummary>>::Failure("");
  if (!team || !listed) {
    return Result::Failure(team ? listed.Problem() : team.Problem());
  }
  std::map<std::string, const SurveySummary*> localByHash;
  for (const SurveySummary& survey : listed.Value()) {
    localByHash[survey.sha256] = &survey;
  }
  SyncOutcome outcome;
  std::vector<const TeamSurvey*> toTake;
  // Oldest first, so that the local ids given follow the order the surveys were read in.
  for (auto oldest = team.Value().rbegin(); oldest != team.Value().rend(); ++oldest) {
    const TeamSurvey& survey = *oldest;
    const auto here = localByHash.find(survey.survey.sha256);
    if (here == localByHash.end()) {
      toTake.push_back(&survey);
      continue;
    }
    ++outcome.alreadyThere;
    if (survey.survey.labelChangedUtc > here->second->labelChangedUtc &&
        !SameLabel(survey.survey, *here->second)) {
      const auto replaced = local.ReplaceLabel(here->second->id, survey.survey, "team");
      if (!replaced) {
        return Result::Failure(replaced.Problem());
      }
      ++outcome.labels;
    }
  }
  const int total = static_cast<int>(toTake.size());
  for (int done = 0; done < total; ++done) {
    if (progress && !progress(done, total)) {
      outcome.stopped = true;
      return outcome;
    }
    const auto image = Image(toTake[done]->survey.id);
    const auto kept = image ? local.Adopt(image.Value(), toTake[done]->survey)
                            : ArchiveResult<StoredSurvey>::Failure(image.Problem());
    if (!kept) {
      return Result::Failure(kept.Problem());
    }
    ++(kept.Value().isNew ? outcome.moved : outcome.alreadyThere);
  }
  if (progress) {
    progress(total, total);
  }
  return outcome;
}

}  // namespace klxr::archive
