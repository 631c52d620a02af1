// The survey archive: keeping a full read (1568 records) as a new survey, listing 10 000 surveys,
// and one channel's history across 10 000 surveys of 1568 records each (about 16 million
// records). The large archive is built once per run in a temporary file (KLXR_BENCH_ARCHIVE names
// one to keep between runs): the first survey through the archive's own Store, the others copied
// from it inside SQLite with their own hashes and dates.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "archive/survey_archive.h"
#include "samples/sample_logs.h"

namespace {

namespace fs = std::filesystem;
constexpr int kSurveys = 10'000;
// Two bytes of the last record that no field uses, changed to make each stored image new.
constexpr std::size_t kVariedByte = 64 * 1567 + 62;

klxr::archive::SurveyFacts FactsAt(std::time_t time) {
  klxr::archive::SurveyFacts facts;
  facts.seen = std::chrono::system_clock::from_time_t(time);
  facts.adapterSerial = "QV104512";
  return facts;
}

std::string TemporaryFile(const std::string& name) {
  return (fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()) + ".sqlite"))
      .string();
}

void RemoveArchive(const std::string& file) {
  for (const char* end : {"", "-wal", "-shm"}) {
    fs::remove(file + end);
  }
}

// Copies survey 1 (with its records) until the archive holds kSurveys, one transaction.
void CopyFirstSurvey(const std::string& file) {
  sqlite3* database = nullptr;
  sqlite3_open(file.c_str(), &database);
  sqlite3_exec(database,
               "PRAGMA journal_mode = DELETE; PRAGMA synchronous = OFF; BEGIN;"
               "WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
               "INSERT INTO surveys (id, sha256, read_utc, time_zone, adapter_serial, source, "
               "record_count, complete, site, image) "
               "SELECT i, printf('%064x', i), strftime('%Y-%m-%dT%H:%M:%SZ', 1700000000 + i * "
               "3600, 'unixepoch'), time_zone, adapter_serial, source, record_count, complete, "
               "'site ' || (i % 50), image FROM n, surveys WHERE surveys.id = 1;"
               "INSERT INTO records SELECT s.id, r.slot, r.kind, r.sequence, r.sub_sequence, "
               "r.frequency_khz, r.channel, r.standard, r.multiplex, r.level_dbuv + (s.id % 7), "
               "r.level_over, r.level_under, r.audio_level_dbuv, r.audio_over, r.audio_under, "
               "r.cn_db, r.cn_over, r.cn_under, r.mer_db, r.mer_over, r.mer_under, r.ber, "
               "r.status, r.modulation FROM surveys s, records r WHERE s.id > 1 AND "
               "r.survey_id = 1 ORDER BY s.id, r.slot;"
               "INSERT INTO survey_sightings SELECT id, read_utc, time_zone, source FROM surveys "
               "WHERE id > 1; COMMIT; PRAGMA journal_mode = WAL;",
               nullptr, nullptr, nullptr);
  sqlite3_close(database);
}

// The archive of 10 000 full surveys, built on first use.
const std::string& LargeArchive() {
  static const std::string file = [] {
    const char* named = std::getenv("KLXR_BENCH_ARCHIVE");
    std::string path = named != nullptr ? named : TemporaryFile("klxr-bench-archive");
    if (named != nullptr && fs::exists(path)) {
      return path;
    }
    RemoveArchive(path);
    auto archive = klxr::archive::SurveyArchive::Open(path).Value();
    archive->Store(klxr::samples::MakeRealisticLog(klxr::kSlotCount, 1568), FactsAt(1'700'000'000));
    archive.reset();
    CopyFirstSurvey(path);
    if (named == nullptr) {
      std::atexit([] { RemoveArchive(LargeArchive()); });
    }
    return path;
  }();
  return file;
}

void ArchiveFullRead(benchmark::State& state) {
  const std::string file = TemporaryFile("klxr-bench-store");
  RemoveArchive(file);
  auto archive = klxr::archive::SurveyArchive::Open(file).Value();
  // A new image each time, so that each is a new survey with its 1568 records.
  klxr::LogImage image = klxr::samples::MakeRealisticLog(klxr::kSlotCount, 1568);
  std::uint32_t round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ++round;
    image.bytes[kVariedByte] = static_cast<std::uint8_t>(round);
    image.bytes[kVariedByte + 1] = static_cast<std::uint8_t>(round >> 8);
    state.ResumeTiming();
    benchmark::DoNotOptimize(archive->Store(image, FactsAt(1'700'000'000 + round)));
  }
  archive.reset();
  RemoveArchive(file);
}
BENCHMARK(ArchiveFullRead)->Unit(benchmark::kMillisecond);

void ListTenThousandSurveys(benchmark::State& state) {
  auto archive = klxr::archive::SurveyArchive::Open(LargeArchive()).Value();
  for (auto _ : state) {
    const auto surveys = archive->List();
    if (!surveys || surveys.Value().size() != kSurveys) {
      state.SkipWithError("the archive does not list 10 000 surveys");
    }
  }
}
BENCHMARK(ListTenThousandSurveys)->Unit(benchmark::kMillisecond);

// A channel of the sample log measured once (at one site), or at the most sites.
std::string SampleChannel(bool once) {
  std::map<std::string, int> sites;
  for (const klxr::RecordValues& values :
       klxr::RecordValuesOf(klxr::samples::MakeRealisticLog(klxr::kSlotCount, 1568))) {
    ++sites[values.channel];
  }
  const auto chosen = std::max_element(sites.begin(), sites.end(), [&](auto& a, auto& b) {
    return once ? (a.second != 1 && b.second == 1) : a.second < b.second;
  });
  return chosen->first;
}

// As "history channel" reads them: each reading handed on as it comes (the command writes it out).
// A channel measured at one site of each log gives one reading per survey; the channel measured at
// the most sites gives 37 per survey.
void ChannelAcrossTenThousandSurveys(benchmark::State& state, bool once) {
  auto archive = klxr::archive::SurveyArchive::Open(LargeArchive()).Value();
  const std::string channel = SampleChannel(once);
  std::size_t readings = 0;
  for (auto _ : state) {
    double levels = 0;
    const auto visited =
        archive->VisitChannelHistory(channel, [&](const klxr::archive::ChannelReading& reading) {
          levels += reading.values.level.value.value_or(0);
        });
    benchmark::DoNotOptimize(levels);
    readings = visited ? visited.Value() : 0;
  }
  state.counters["readings"] = static_cast<double>(readings);
}
BENCHMARK_CAPTURE(ChannelAcrossTenThousandSurveys, measured_once_per_log, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ChannelAcrossTenThousandSurveys, measured_at_most_sites, false)
    ->Unit(benchmark::kMillisecond);

}  // namespace
