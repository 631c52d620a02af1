// read --out/--csv: the files are checked before the meter is asked anything, and "-" writes to
// standard output.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <sstream>

#include "cli/exit_status.h"
#include "cli/meter_commands.h"
#include "log/log_files.h"
#include "run_tool.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::cli {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

class ReadOutputsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("klxr-read-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    vm::BusConfig config = vm::OneMeter(vm::GeneratedRecords(5, 2));
    config.clock = vm::ClockKind::kVirtual;
    bus_.emplace(std::move(config));
    connection_.driver = &driver_;
    connection_.sleep = bus_->SleepFunction();
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
  std::optional<vm::VirtualBus> bus_;
  const d2xx::D2xxFunctions driver_ = vm::VirtualBus::Functions();
  MeterConnection connection_;
  std::ostringstream out_;
  std::ostringstream err_;
  klxr::testing::RecordingMessageBoxes boxes_;
  CliContext context_{out_, err_, boxes_};
};

TEST_F(ReadOutputsTest, OutputsThatCannotBeWrittenFailBeforeAnyConversation) {
  fs::create_directory(folder_ / "folder");
  std::ofstream(folder_ / "readonly.tlg") << "kept";
  fs::permissions(folder_ / "readonly.tlg", fs::perms::owner_read | fs::perms::group_read);
  struct Case {
    Args arguments;
    std::string refused;  // what the error stream names after the program's message
  };
  std::vector<Case> cases{
      {{"--out", PathOf("missing/log.tlg")}, "LOG.tlg '" + PathOf("missing/log.tlg") + "'"},
      {{"--csv", PathOf("folder")}, "OUT.csv '" + PathOf("folder") + "'"},
      {{"--out", PathOf("log.tlg"), "--csv", PathOf("readonly.tlg")},
       "OUT.csv '" + PathOf("readonly.tlg") + "'"},
  };
#ifndef _WIN32
  fs::create_symlink("loop", folder_ / "loop");
  cases.push_back({{"--out", PathOf("loop"), "--csv", PathOf("log.csv")},
                   "LOG.tlg '" + PathOf("loop") + "': " + std::strerror(ELOOP)});
  ASSERT_EQ(mkfifo(PathOf("fifo.csv").c_str(), 0600), 0);  // nobody reads it
  cases.push_back({{"--csv", PathOf("fifo.csv")},
                   "OUT.csv '" + PathOf("fifo.csv") + "': " + std::strerror(ENXIO)});
#endif
  for (const Case& test : cases) {
    boxes_.boxes.clear();
    err_.str("");
    EXPECT_EQ(ReadCommand(test.arguments, context_, connection_), kExitFailure) << test.refused;
    EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kCantSaveProgramImage}) << test.refused;
    EXPECT_EQ(err_.str().rfind("klxr-log-cli read: cannot write " + test.refused, 0), 0u)
        << err_.str();
  }
  EXPECT_TRUE(bus_->Calls().empty());
  EXPECT_FALSE(fs::exists(folder_ / "log.tlg"));
  EXPECT_FALSE(fs::exists(folder_ / "log.csv"));
  // A read-only file cannot be removed on Windows.
  fs::permissions(folder_ / "readonly.tlg", fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(ReadOutputsTest, TheSameFileForBothOutputsIsAUsageError) {
  std::ofstream(folder_ / "log.tlg") << "kept";
  fs::create_hard_link(folder_ / "log.tlg", folder_ / "hard.csv");
  std::vector<Args> cases{
      {"--out", PathOf("x"), "--csv", PathOf("x")},
      {"--out", PathOf("x"), "--csv", PathOf("sub/../x")},
      {"--out", PathOf("log.tlg"), "--csv", PathOf("hard.csv")},
      {"--out", "-", "--csv", "-"},
  };
#ifndef _WIN32
  // A dangling link names the file it would create, also at the end of a chain.
  fs::create_symlink("new.tlg", folder_ / "dangling");
  fs::create_symlink("dangling", folder_ / "chain");
  cases.push_back({"--out", PathOf("new.tlg"), "--csv", PathOf("dangling")});
  cases.push_back({"--out", PathOf("chain"), "--csv", PathOf("new.tlg")});
#endif
  for (const Args& arguments : cases) {
    err_.str("");
    EXPECT_EQ(ReadCommand(arguments, context_, connection_), kExitUsage) << arguments[3];
    EXPECT_NE(err_.str().find("is the same file as"), std::string::npos) << err_.str();
  }
  EXPECT_TRUE(bus_->Calls().empty());
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(klxr::testing::ReadWholeFile(folder_ / "log.tlg"), "kept");
  EXPECT_FALSE(fs::exists(folder_ / "new.tlg"));
}

// A meter whose log holds no record does not replace a log file that holds records, unless the
// command says --force; a new file, an empty log file or any other file is written as always.
TEST_F(ReadOutputsTest, AnEmptyLogReplacesALogWithRecordsOnlyWhenForced) {
  LogImage withRecords;
  const auto records = vm::GeneratedRecords(3, 7);
  for (std::size_t i = 0; i < records.size(); ++i) {
    std::copy(records[i].begin(), records[i].end(), withRecords.Slot(int(i)).begin());
  }
  const std::string recorded(withRecords.bytes.begin(), withRecords.bytes.end());
  const std::string empty(kLogImageSize, '\0');
  struct Case {
    std::string before;  // the file's contents before the read; none when it does not exist
    bool exists;
    bool force;
    int status;
  };
  const std::vector<Case> cases{
      {recorded, true, false, kExitFailure}, {recorded, true, true, kExitOk},
      {empty, true, false, kExitOk},         {"", false, false, kExitOk},
      {"not a log", true, false, kExitOk},
  };
  for (const Case& test : cases) {
    bus_.emplace([] {
      vm::BusConfig config = vm::OneMeter({});
      config.clock = vm::ClockKind::kVirtual;
      return config;
    }());
    connection_.sleep = bus_->SleepFunction();
    fs::remove(folder_ / "log.tlg");
    if (test.exists) {
      std::ofstream(folder_ / "log.tlg", std::ios::binary) << test.before;
    }
    err_.str("");
    Args arguments{"--out", PathOf("log.tlg")};
    if (test.force) {
      arguments.push_back("--force");
    }
    EXPECT_EQ(ReadCommand(arguments, context_, connection_), test.status) << test.before.size();
    const bool refused = test.status != kExitOk;
    EXPECT_EQ(klxr::testing::ReadWholeFile(folder_ / "log.tlg"), refused ? test.before : empty);
    EXPECT_EQ(
        err_.str().find("LOG.tlg '" + PathOf("log.tlg") + "' holds 3 records") != std::string::npos,
        refused)
        << err_.str();
  }
}

TEST_F(ReadOutputsTest, DashWritesTheLogOrTheCsvToStandardOutput) {
  const LogImage image = [] {
    LogImage result;
    const auto records = vm::GeneratedRecords(5, 2);
    for (std::size_t i = 0; i < records.size(); ++i) {
      std::copy(records[i].begin(), records[i].end(), result.Slot(int(i)).begin());
    }
    return result;
  }();
  EXPECT_EQ(ReadCommand({"--out", "-"}, context_, connection_), kExitOk);
  EXPECT_EQ(out_.str(), std::string(image.bytes.begin(), image.bytes.end()));
  out_.str("");
  bus_.emplace([] {
    vm::BusConfig config = vm::OneMeter(vm::GeneratedRecords(5, 2));
    config.clock = vm::ClockKind::kVirtual;
    return config;
  }());
  connection_.sleep = bus_->SleepFunction();
  EXPECT_EQ(ReadCommand({"--csv", "-", "--out", PathOf("log.tlg")}, context_, connection_),
            kExitOk);
  EXPECT_EQ(out_.str(), MakeCsvText(image, 5));
  EXPECT_EQ(fs::file_size(folder_ / "log.tlg"), kLogImageSize);
}

}  // namespace
}  // namespace klxr::cli
