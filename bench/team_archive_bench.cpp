// The team archive: pushing 1000 full surveys (1568 records each) from a local archive to the
// PostgreSQL server, then one channel's history across them, asked of the server. Run by hand
// against an empty database that KLXR_TEAM_ARCHIVE names (tests/archive/team_server.sh starts a
// server of its own: see the README); the local archive is built in a temporary file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "archive/team/team_archive.h"
#include "samples/sample_logs.h"

namespace {

namespace fs = std::filesystem;
constexpr int kSurveys = 1000;
// Two bytes of the last record that no field uses, changed to make each stored image new.
constexpr std::size_t kVariedByte = 64 * 1567 + 62;

std::string Connection() {
  const char* connection = std::getenv(klxr::archive::kTeamArchiveVariable);
  return connection != nullptr ? connection : "";
}

std::unique_ptr<klxr::archive::TeamArchive> OpenTeam(benchmark::State& state) {
  auto team = klxr::archive::TeamArchive::Initialize(Connection());
  if (!team) {
    state.SkipWithError(("set KLXR_TEAM_ARCHIVE to an empty database: " + team.Problem()).c_str());
    return nullptr;
  }
  return std::move(team).Value();
}

void PushThousandFullSurveys(benchmark::State& state) {
  auto team = OpenTeam(state);
  const std::string file =
      (fs::temp_directory_path() / ("klxr-team-bench-" + std::to_string(::getpid()) + ".sqlite"))
          .string();
  auto local = team ? std::move(klxr::archive::SurveyArchive::Open(file)).Value() : nullptr;
  if (local) {
    klxr::LogImage image = klxr::samples::MakeRealisticLog(1568, 7);
    for (int i = 0; i < kSurveys; ++i) {
      image.bytes[kVariedByte] = static_cast<std::uint8_t>(i & 0xff);
      image.bytes[kVariedByte + 1] = static_cast<std::uint8_t>(i >> 8);
      klxr::archive::SurveyFacts facts;
      facts.seen = std::chrono::system_clock::from_time_t(1700000000 + 3600 * i);
      facts.site = "site " + std::to_string(i % 50);
      local->Store(image, facts);
    }
  }
  for (auto _ : state) {
    if (!team) {
      break;
    }
    const auto pushed = team->Push(*local, {}, {});
    if (!pushed || pushed.Value().moved != kSurveys) {
      state.SkipWithError(pushed ? "the database was not empty" : pushed.Problem().c_str());
      break;
    }
  }
  state.counters["surveys/s"] =
      benchmark::Counter(kSurveys, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["records/s"] =
      benchmark::Counter(kSurveys * 1568.0, benchmark::Counter::kIsIterationInvariantRate);
  local.reset();
  for (const char* end : {"", "-wal", "-shm"}) {
    fs::remove(file + end);
  }
}
BENCHMARK(PushThousandFullSurveys)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void TeamChannelAcrossThousandSurveys(benchmark::State& state) {
  auto team = OpenTeam(state);
  std::size_t readings = 0;
  for (auto _ : state) {
    if (!team) {
      break;
    }
    const auto found = team->ChannelHistory("CH32", "");
    readings = found ? found.Value().size() : 0;
    benchmark::DoNotOptimize(readings);
  }
  state.counters["readings"] = static_cast<double>(readings);
}
BENCHMARK(TeamChannelAcrossThousandSurveys)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
