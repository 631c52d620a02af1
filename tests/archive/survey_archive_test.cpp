// The archive file: its schema from an empty file, dedupe by hash, finding surveys, labels,
// forgetting, a channel across surveys, and files it must refuse.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "archive/archive_schema.h"
#include "archive/survey_archive.h"
#include "samples/sample_logs.h"
#include "support/scratch_folder.h"

namespace klxr::archive {
namespace {

using Clock = std::chrono::system_clock;

SurveyFacts ReadAt(std::time_t time, bool complete = true) {
  SurveyFacts facts;
  facts.seen = Clock::from_time_t(time);
  facts.complete = complete;
  facts.adapterSerial = "QV104512";
  return facts;
}

class SurveyArchiveTest : public ::testing::Test {
 protected:
  std::unique_ptr<SurveyArchive> OpenArchive() {
    auto opened = SurveyArchive::Open(file_);
    EXPECT_TRUE(opened.Ok()) << opened.Problem();
    return opened ? std::move(opened).Value() : nullptr;
  }
  // The answer of one query with one integer column.
  std::int64_t Count(const std::string& sql) {
    sqlite3* database = nullptr;
    sqlite3_open(file_.c_str(), &database);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(database, sql.c_str(), -1, &statement, nullptr);
    const std::int64_t value =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(database);
    return value;
  }

  testing::ScratchFolder folder_;
  std::string file_ = folder_.PathOf("surveys.sqlite");
};

TEST_F(SurveyArchiveTest, AnEmptyFileGetsTheWholeSchema) {
  std::ofstream(file_).close();
  ASSERT_NE(OpenArchive(), nullptr);
  EXPECT_EQ(Count("PRAGMA user_version"), ArchiveMigrations().back().version);
  EXPECT_EQ(Count("SELECT count(*) FROM sqlite_master WHERE name IN ('surveys', "
                  "'survey_sightings', 'records', 'records_by_survey', 'records_by_frequency')"),
            5);
  EXPECT_EQ(Count("SELECT journal_mode = 'wal' FROM pragma_journal_mode"), 1);
  ASSERT_NE(OpenArchive(), nullptr);  // opening again migrates nothing and fails nothing
}

// A file of version 1 (before label times) is brought up to date: its labelled surveys count as
// labelled when they were read, the others as never labelled; nothing else changes.
TEST_F(SurveyArchiveTest, AVersionOneFileIsBroughtUpToDate) {
  sqlite3* database = nullptr;
  ASSERT_EQ(sqlite3_open(file_.c_str(), &database), SQLITE_OK);
  const std::string versionOne(ArchiveMigrations()[0].sql);
  const std::string rows =
      "INSERT INTO surveys (id, sha256, read_utc, time_zone, source, record_count, complete, "
      "site, note, image) VALUES "
      "(1, 'aa', '2024-01-02T03:04:05Z', '+00:00', 'read', 0, 1, 'Hill', '', zeroblob(100352)), "
      "(2, 'bb', '2024-02-02T03:04:05Z', '+00:00', 'read', 0, 1, '', 'a note', zeroblob(100352)), "
      "(3, 'cc', '2024-03-02T03:04:05Z', '+00:00', 'read', 0, 1, '', '', zeroblob(100352));";
  ASSERT_EQ(sqlite3_exec(database, (versionOne + rows + "PRAGMA user_version = 1;").c_str(),
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(database);
  auto archive = OpenArchive();
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(Count("PRAGMA user_version"), 2);
  const auto surveys = archive->List();
  ASSERT_TRUE(surveys.Ok()) << surveys.Problem();
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"cc", ""}, {"bb", "2024-02-02T03:04:05Z"}, {"aa", "2024-01-02T03:04:05Z"}};
  ASSERT_EQ(surveys.Value().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(surveys.Value()[i].sha256, expected[i].first);
    EXPECT_EQ(surveys.Value()[i].labelChangedUtc, expected[i].second) << expected[i].first;
  }
  // A label set now is later than any of those, to the millisecond.
  ASSERT_TRUE(archive->Label(3, "Valley", std::nullopt).Ok());
  const std::string now = archive->Find("3").Value().labelChangedUtc;
  EXPECT_EQ(now.size(), std::string("2024-01-02T03:04:05.678Z").size()) << now;
  EXPECT_GT(now, expected[1].second);
}

// A label changed elsewhere replaces the local one, which is kept in the label history.
TEST_F(SurveyArchiveTest, AReplacedLabelIsKeptInTheHistory) {
  auto archive = OpenArchive();
  const SurveyId id = archive->Store(samples::MakeRealisticLog(10, 1), ReadAt(100)).Value().id;
  ASSERT_TRUE(archive->Label(id, "Hill", std::string("by the barn")).Ok());
  const std::string localTime = archive->Find(std::to_string(id)).Value().labelChangedUtc;
  SurveySummary team;
  team.site = "Hill farm";
  team.note = "mast moved";
  team.labelChangedUtc = "2099-01-01T00:00:00.000Z";
  ASSERT_TRUE(archive->ReplaceLabel(id, team, "team").Ok());
  const SurveySummary now = archive->Find(std::to_string(id)).Value();
  EXPECT_EQ(now.site, "Hill farm");
  EXPECT_EQ(now.labelChangedUtc, team.labelChangedUtc);
  const auto history = archive->LabelHistory(id);
  ASSERT_TRUE(history.Ok()) << history.Problem();
  ASSERT_EQ(history.Value().size(), 1u);
  EXPECT_EQ(history.Value()[0].site, "Hill");
  EXPECT_EQ(history.Value()[0].note, "by the barn");
  EXPECT_EQ(history.Value()[0].changedUtc, localTime);
  EXPECT_EQ(history.Value()[0].replacedBy, "team");
  EXPECT_FALSE(archive->ReplaceLabel(id + 7, team, "team").Ok());
}

TEST_F(SurveyArchiveTest, FilesThatAreNoArchiveOfOursAreRefusedWithTheReason) {
  const struct {
    const char* name;
    std::string content;
    const char* reason;
  } cases[] = {
      {"not a database", std::string(4096, 'x'), "file is not a database"},
      {"a folder", "", "unable to open database file"},
  };
  for (const auto& test : cases) {
    const std::string path = folder_.PathOf(test.name);
    if (test.content.empty()) {
      std::filesystem::create_directory(path);
    } else {
      std::ofstream(path) << test.content;
    }
    const auto opened = SurveyArchive::Open(path);
    ASSERT_FALSE(opened.Ok()) << test.name;
    EXPECT_NE(opened.Problem().find(path), std::string::npos) << opened.Problem();
    EXPECT_NE(opened.Problem().find(test.reason), std::string::npos) << opened.Problem();
  }
  // A later schema than this program's.
  { auto archive = OpenArchive(); }
  sqlite3* database = nullptr;
  sqlite3_open(file_.c_str(), &database);
  sqlite3_exec(database, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
  sqlite3_close(database);
  const auto newer = SurveyArchive::Open(file_);
  ASSERT_FALSE(newer.Ok());
  EXPECT_NE(newer.Problem().find("schema version 99 is newer"), std::string::npos);
}

TEST_F(SurveyArchiveTest, TheSameImageTwiceIsOneSurveySeenTwice) {
  auto archive = OpenArchive();
  const LogImage image = samples::MakeRealisticLog(40, 3);
  const auto first = archive->Store(image, ReadAt(1'773'480'413, false));
  const auto second = archive->Store(image, ReadAt(1'773'490'000));
  const auto other = archive->Store(samples::MakeRealisticLog(41, 3), ReadAt(1'773'500'000));
  ASSERT_TRUE(first && second && other);
  EXPECT_TRUE(first.Value().isNew);
  EXPECT_FALSE(second.Value().isNew);
  EXPECT_EQ(second.Value().id, first.Value().id);
  EXPECT_NE(other.Value().id, first.Value().id);
  const auto list = archive->List();
  ASSERT_TRUE(list.Ok());
  ASSERT_EQ(list.Value().size(), 2u);
  const SurveySummary& kept = list.Value()[1];  // newest first
  EXPECT_EQ(kept.id, first.Value().id);
  EXPECT_EQ(kept.readUtc, "2026-03-14T09:26:53Z");  // the first time seen
  EXPECT_EQ(kept.recordCount, 40);
  EXPECT_TRUE(kept.complete);  // the second read was complete
  EXPECT_EQ(kept.sightings, 2);
  EXPECT_EQ(kept.adapterSerial, "QV104512");
  EXPECT_EQ(kept.meterVersion, std::nullopt);
  EXPECT_EQ(Count("SELECT count(*) FROM records WHERE survey_id = " + std::to_string(kept.id)), 40);
  const auto image2 = archive->Image(kept.id);
  ASSERT_TRUE(image2.Ok());
  EXPECT_EQ(image2.Value().bytes, image.bytes);
}

TEST_F(SurveyArchiveTest, IdsAndHashPrefixesNameSurveys) {
  auto archive = OpenArchive();
  std::vector<SurveyId> ids;
  for (int seed = 1; seed <= 3; ++seed) {
    ids.push_back(archive->Store(samples::MakeRealisticLog(3, seed), ReadAt(seed)).Value().id);
  }
  // Two hashes made to share their first six digits ("abcdef"), as real ones do now and then.
  std::string shared = "abcdef";
  Count("UPDATE surveys SET sha256 = 'abcdef' || substr(sha256, 7) WHERE id != " +
        std::to_string(ids[0]));
  archive = OpenArchive();
  const SurveySummary one = archive->Find(std::to_string(ids[1])).Value();
  const struct {
    std::string name;
    std::optional<SurveyId> found;  // none: refused
    const char* problem;
  } cases[] = {
      {std::to_string(one.id), one.id, ""},
      {one.sha256, one.id, ""},
      {one.sha256.substr(0, 12), one.id, ""},
      {[&] {
         std::string upper = one.sha256.substr(0, 12);
         for (char& c : upper)
           c = static_cast<char>(std::toupper(c));
         return upper;
       }(),
       one.id, ""},
      {shared, std::nullopt, "names more than one survey"},
      {shared.substr(0, 4), std::nullopt, "names more than one survey"},
      {"abc", std::nullopt, "no survey 'abc'"},
      {"99999", std::nullopt, "no survey '99999'"},
      {"xyz1", std::nullopt, "no survey"},
      {"", std::nullopt, "no survey"},
  };
  for (const auto& test : cases) {
    const auto found = archive->Find(test.name);
    EXPECT_EQ(found.Ok(), test.found.has_value()) << test.name;
    if (found && test.found) {
      EXPECT_EQ(found.Value().id, *test.found) << test.name;
    } else if (!found) {
      EXPECT_NE(found.Problem().find(test.problem), std::string::npos) << found.Problem();
    }
  }
}

TEST_F(SurveyArchiveTest, LabelsAndForgetting) {
  auto archive = OpenArchive();
  const SurveyId id = archive->Store(samples::MakeRealisticLog(10, 1), ReadAt(100)).Value().id;
  const SurveyId kept = archive->Store(samples::MakeRealisticLog(10, 2), ReadAt(200)).Value().id;
  ASSERT_TRUE(archive->Label(id, "Roof, block B", std::string("before the repair")).Ok());
  ASSERT_TRUE(archive->Label(id, "Roof, block C", std::nullopt).Ok());  // the note stays
  const auto found = archive->Find(std::to_string(id));
  EXPECT_EQ(found.Value().site, "Roof, block C");
  EXPECT_EQ(found.Value().note, "before the repair");

  ASSERT_TRUE(archive->Forget(id).Ok());
  EXPECT_FALSE(archive->Find(std::to_string(id)).Ok());
  EXPECT_EQ(Count("SELECT count(*) FROM records WHERE survey_id = " + std::to_string(id)), 0);
  EXPECT_EQ(Count("SELECT count(*) FROM survey_sightings WHERE survey_id = " + std::to_string(id)),
            0);
  EXPECT_EQ(Count("SELECT count(*) FROM records"), 10);  // the other survey's
  const struct {
    const char* name;
    std::string problem;
  } gone[] = {{"forget", archive->Forget(id).Problem()},
              {"label", archive->Label(id, "x", std::nullopt).Problem()},
              {"image", archive->Image(id).Problem()}};
  for (const auto& test : gone) {
    EXPECT_EQ(test.problem, "no survey " + std::to_string(id) + " in the archive") << test.name;
  }
  EXPECT_TRUE(archive->Find(std::to_string(kept)).Ok());
}

TEST_F(SurveyArchiveTest, AChannelAcrossSurveysOldestFirst) {
  auto archive = OpenArchive();
  const LogImage later = samples::MakeRealisticLog(200, 5);
  const LogImage earlier = samples::MakeRealisticLog(200, 6);
  const SurveyId laterId = archive->Store(later, ReadAt(2000)).Value().id;
  const SurveyId earlierId = archive->Store(earlier, ReadAt(1000)).Value().id;
  const auto anyRecord = archive->ChannelHistory("no such channel");
  ASSERT_TRUE(anyRecord.Ok());
  EXPECT_TRUE(anyRecord.Value().empty());
  const RecordValues sample = RecordValuesOf(later).front();
  for (const std::string& query : {sample.channel, std::to_string(sample.frequencyKhz) + "kHz"}) {
    const auto readings = archive->ChannelHistory(query);
    ASSERT_TRUE(readings.Ok()) << readings.Problem();
    ASSERT_FALSE(readings.Value().empty()) << query;
    EXPECT_EQ(readings.Value().front().survey, earlierId) << query;
    EXPECT_EQ(readings.Value().back().survey, laterId) << query;
    // Within a survey, in the order of the log.
    for (std::size_t k = 1; k < readings.Value().size(); ++k) {
      const ChannelReading& previous = readings.Value()[k - 1];
      const ChannelReading& reading = readings.Value()[k];
      EXPECT_TRUE(previous.survey != reading.survey || previous.values.slot < reading.values.slot);
    }
    for (const ChannelReading& reading : readings.Value()) {
      const bool sameChannel = reading.values.channel == sample.channel;
      const bool sameFrequency = reading.values.frequencyKhz == sample.frequencyKhz;
      EXPECT_TRUE(query == sample.channel ? sameChannel : sameFrequency) << query;
      const LogImage& image = reading.survey == laterId ? later : earlier;
      EXPECT_EQ(reading.values.level, ValuesOfSlot(image, reading.values.slot)->level);
      EXPECT_EQ(reading.values.ber, ValuesOfSlot(image, reading.values.slot)->ber);
    }
  }
}

}  // namespace
}  // namespace klxr::archive
