// read --out/--csv: the files are checked before the meter is asked anything, and "-" writes to
// standard output.
#include <gtest/gtest.h>
#include <sys/stat.h>

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
  std::vector<Args> cases{
      {"--out", PathOf("missing/log.tlg")},
      {"--csv", PathOf("folder")},
      {"--out", PathOf("log.tlg"), "--csv", PathOf("readonly.tlg")},
  };
#ifndef _WIN32
  fs::create_symlink("loop", folder_ / "loop");
  cases.push_back({"--out", PathOf("loop"), "--csv", PathOf("log.csv")});
#endif
  for (const Args& arguments : cases) {
    boxes_.boxes.clear();
    EXPECT_EQ(ReadCommand(arguments, context_, connection_), kExitFailure) << arguments[1];
    EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kCantSaveProgramImage}) << arguments[1];
  }
  EXPECT_TRUE(bus_->Calls().empty());
  EXPECT_EQ(err_.str(), "");
  EXPECT_FALSE(fs::exists(folder_ / "log.tlg"));
  EXPECT_FALSE(fs::exists(folder_ / "log.csv"));
  // A read-only file cannot be removed on Windows.
  fs::permissions(folder_ / "readonly.tlg", fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(ReadOutputsTest, TheSameFileForBothOutputsIsAUsageError) {
  std::ofstream(folder_ / "log.tlg") << "kept";
  fs::create_hard_link(folder_ / "log.tlg", folder_ / "hard.csv");
  const std::vector<Args> cases{
      {"--out", PathOf("x"), "--csv", PathOf("x")},
      {"--out", PathOf("x"), "--csv", PathOf("sub/../x")},
      {"--out", PathOf("log.tlg"), "--csv", PathOf("hard.csv")},
      {"--out", "-", "--csv", "-"},
  };
  for (const Args& arguments : cases) {
    err_.str("");
    EXPECT_EQ(ReadCommand(arguments, context_, connection_), kExitUsage) << arguments[1];
    EXPECT_NE(err_.str().find("is the same file as"), std::string::npos) << err_.str();
  }
  EXPECT_TRUE(bus_->Calls().empty());
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(klxr::testing::ReadWholeFile(folder_ / "log.tlg"), "kept");
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
