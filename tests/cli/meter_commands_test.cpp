// The meter commands of klxr-log-cli in-process, on the virtual meter's virtual clock: what they
// print, write and send, and their exit statuses.
#include "cli/meter_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "cli/exit_status.h"
#include "cli/option_values.h"
#include "cli/terminal_download_window.h"
#include "log/log_files.h"
#include "log/record_format.h"
#include "run_tool.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/eeprom_contents.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/scenario_parser.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::cli {
namespace {

namespace fs = std::filesystem;
using klxr::testing::ReadWholeFile;
using klxr::testing::RecordingMessageBoxes;
using Args = std::vector<std::string>;

// One command run against a virtual bus.
class MeterCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("klxr-meter-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Attach(vm::BusConfig config) {
    config.clock = vm::ClockKind::kVirtual;
    bus_.emplace(std::move(config));
    connection_.driver = &driver_;
    connection_.sleep = bus_->SleepFunction();
    connection_.clock = [this] { return bus_->Now(); };
  }
  void AttachScenario(std::string_view text) {
    vm::ParsedConfig parsed = vm::ParseScenario(text);
    ASSERT_TRUE(parsed.Ok());
    Attach(std::move(parsed.config));
  }
  int Run(MeterCommandFunction command, const Args& arguments) {
    return command(arguments, context_, connection_);
  }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
  std::optional<vm::VirtualBus> bus_;
  const d2xx::D2xxFunctions driver_ = vm::VirtualBus::Functions();
  MeterConnection connection_;
  std::ostringstream out_;
  std::ostringstream err_;
  RecordingMessageBoxes boxes_;
  CliContext context_{out_, err_, boxes_};
};

LogImage ImageOf(const std::vector<vm::RecordBytes>& records) {
  LogImage image;
  for (std::size_t i = 0; i < records.size(); ++i) {
    std::copy(records[i].begin(), records[i].end(), image.Slot(static_cast<int>(i)).begin());
  }
  return image;
}

TEST_F(MeterCommandTest, ReadPrintsTheRecordsAsShowDoes) {
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(3);
  Attach(vm::OneMeter(records));
  context_.errIsTerminal = true;
  EXPECT_EQ(Run(ReadCommand, {"--no-archive"}), kExitOk);  // the archive's line follows

  const LogImage image = ImageOf(records);
  std::string expected;
  DecodedEntry entry;
  for (int i = 0; i < 3; ++i) {
    FormatRecord(image, i, entry, kUnitsDbm);
    expected += entry.DisplayLine + "\n";
  }
  EXPECT_EQ(out_.str(), expected);
  EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kTransferComplete});
  const std::string err = err_.str();
  EXPECT_NE(err.find("\rReading the meter log [    "), std::string::npos);
  EXPECT_NE(err.find("] 2 of 1568 records"), std::string::npos);
  // The last drawing covers the longer line before it with blanks.
  EXPECT_NE(err.find("] 3 records, end of log    "), std::string::npos);
  const std::string end = " \n" + SummaryText(3, bus_->Now()) + "\n";
  EXPECT_EQ(err.substr(err.size() - end.size()), end);
}

TEST_F(MeterCommandTest, FastReadEraseAndListGiveWhatPacedGives) {
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(40, 5);
  const d2xx::D2xxFunctions fast = vm::VirtualBus::FastFunctions();
  for (const TransferMode mode : {TransferMode::kPaced, TransferMode::kFast}) {
    out_.str("");
    boxes_.boxes.clear();
    bus_.reset();
    Attach(vm::OneMeter(records));
    connection_.driver = &fast;
    connection_.now = bus_->NowFunction();
    connection_.transfer = mode;
    const vm::Micros start = bus_->Now();
    EXPECT_EQ(Run(ReadCommand, {"--out", PathOf("log.tlg")}), kExitOk);
    const vm::Micros readTime = bus_->Now() - start;
    const LogImage image = ImageOf(records);
    EXPECT_EQ(ReadWholeFile(PathOf("log.tlg")),
              std::string(image.bytes.begin(), image.bytes.end()));
    // Paced: a 200 ms read a record; fast: a few milliseconds.
    EXPECT_EQ(readTime > 40 * 200'000, mode == TransferMode::kPaced);
    EXPECT_EQ(Run(ListCommand, {}), kExitOk);
    EXPECT_EQ(out_.str(), "KLXR V2.31 S/N 104512\nNumber of devices: 1\n");
    EXPECT_EQ(Run(EraseCommand, {"--yes"}), kExitOk);
    EXPECT_EQ(boxes_.Indexes(), (std::vector<int>{msg::kTransferComplete, msg::kLogErased}));
    EXPECT_EQ(bus_->Adapter(0).LatencyTimerMs(), mode == TransferMode::kFast ? 2 : 16);
  }
}

TEST_F(MeterCommandTest, ReadSavesAndExports) {
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(25, 4);
  Attach(vm::OneMeter(records));
  EXPECT_EQ(Run(ReadCommand, {"--out", PathOf("log.tlg"), "--csv=" + PathOf("log.csv")}), kExitOk);
  const LogImage image = ImageOf(records);
  EXPECT_EQ(ReadWholeFile(PathOf("log.tlg")), std::string(image.bytes.begin(), image.bytes.end()));
  EXPECT_EQ(ReadWholeFile(PathOf("log.csv")), MakeCsvText(image, 25));
  EXPECT_EQ(out_.str(), "");
}

TEST_F(MeterCommandTest, ReadOfAnEmptyLogSavesItButExportsNothing) {
  Attach(vm::OneMeter({}));
  EXPECT_EQ(Run(ReadCommand, {"--out", PathOf("log.tlg"), "--csv", PathOf("log.csv")}),
            kExitFailure);
  EXPECT_EQ(boxes_.Indexes(), (std::vector<int>{msg::kTransferComplete, msg::kNoLoggingData}));
  EXPECT_EQ(fs::file_size(PathOf("log.tlg")), kLogImageSize);
  EXPECT_FALSE(fs::exists(PathOf("log.csv")));
}

TEST_F(MeterCommandTest, ReadThatFailsWritesNothing) {
  struct Case {
    const char* name;
    const char* scenario;
    int box;
  };
  const Case cases[] = {
      {"meter silent", "device\n  fault GET 2+ silence", msg::kHandshakeNotReceived},
      {"no device", "clock virtual", msg::kUsbPortError},
      {"adapter re-programmed", "device factory-default", msg::kDeviceUpgraded},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    bus_.reset();
    boxes_.boxes.clear();
    AttachScenario(test.scenario);
    EXPECT_EQ(Run(ReadCommand, {"--out", PathOf("log.tlg")}), kExitFailure);
    EXPECT_EQ(boxes_.Indexes(), std::vector<int>{test.box});
    EXPECT_FALSE(fs::exists(PathOf("log.tlg")));
  }
}

TEST_F(MeterCommandTest, CommandsWithoutDriverLibrary) {
  const std::string problem = "No USB driver library could be loaded. Tried: libftd2xx.so (gone).";
  connection_.driverProblem = problem;
  // Read says why before the link's message; the others show the start-up warning with the reason
  // as its detail.
  struct Case {
    MeterCommandFunction command;
    Args arguments;
    int box;
    std::string detail;
    std::string err;
  };
  const Case cases[] = {
      {ReadCommand, {}, msg::kInstallUsbDriverFirst, "", "klxr-log-cli: " + problem + "\n"},
      {EraseCommand, {"--yes"}, msg::kCantLoadUsbDriver, problem, ""},
      {ListCommand, {}, msg::kCantLoadUsbDriver, problem, ""},
      {AdapterCommand, {"--fix"}, msg::kCantLoadUsbDriver, problem, ""},
  };
  for (const Case& test : cases) {
    boxes_.boxes.clear();
    boxes_.details.clear();
    err_.str("");
    EXPECT_EQ(Run(test.command, test.arguments), kExitFailure);
    EXPECT_EQ(boxes_.Indexes(), std::vector<int>{test.box});
    EXPECT_EQ(boxes_.details, std::vector<std::string>{test.detail});
    EXPECT_EQ(err_.str(), test.err);
  }
}

TEST_F(MeterCommandTest, BadCommandLinesAreUsageErrors) {
  Attach(vm::OneMeter({}));
  const std::pair<MeterCommandFunction, Args> cases[] = {
      {ReadCommand, {"--out"}},      {ReadCommand, {"--out", "a", "--out", "b"}},
      {ReadCommand, {"extra"}},      {ReadCommand, {"--yes"}},
      {EraseCommand, {"now"}},       {ListCommand, {"--all"}},
      {AdapterCommand, {"--force"}},
  };
  for (const auto& [command, arguments] : cases) {
    EXPECT_EQ(Run(command, arguments), kExitUsage) << arguments[0];
  }
  EXPECT_TRUE(bus_->Calls().empty());
}

TEST_F(MeterCommandTest, EraseAsksFirstAndSucceedsOnlyWhenTheMeterConfirms) {
  struct Case {
    const char* name;
    const char* scenario;
    Args arguments;
    std::optional<Answer> answer;
    int status;
    bool sent;
  };
  const Case cases[] = {
      {"yes", "device", {}, Answer::Yes, kExitOk, true},
      {"no", "device", {}, Answer::No, kExitFailure, false},
      {"cancel", "device", {}, Answer::Cancel, kExitFailure, false},
      {"--yes does not ask", "device", {"--yes"}, std::nullopt, kExitOk, true},
      {"meter does not confirm",
       "device\n  fault ERASE 1 nak",
       {"--yes"},
       std::nullopt,
       kExitFailure,
       true},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    bus_.reset();
    boxes_.boxes.clear();
    AttachScenario(test.scenario);
    if (test.answer) {
      boxes_.answers.push_back(*test.answer);
    }
    EXPECT_EQ(Run(EraseCommand, test.arguments), test.status);
    EXPECT_EQ(boxes_.boxes.empty() ? -1 : boxes_.boxes.front().index,
              test.answer ? msg::kConfirmErase : (test.status == kExitOk ? msg::kLogErased : -1));
    EXPECT_EQ(bus_->WireLog().empty(), !test.sent);
    EXPECT_EQ(bus_->Adapter(0).Meter()->RecordCount() == 0, test.status == kExitOk);
  }
  EXPECT_NE(err_.str().find("the meter did not confirm the erase"), std::string::npos);
}

TEST_F(MeterCommandTest, ListSortsTheVersionTextsCaseIgnored) {
  AttachScenario(
      "device\n  version \"klxr B\"\ndevice\n  version \"KLXR c\"\ndevice\n  no-meter\n"
      "device\n  version \"KLXR a\"\ndevice\n  version \"KLXR A\"");
  EXPECT_EQ(Run(ListCommand, {}), kExitOk);
  EXPECT_EQ(out_.str(), "KLXR a\nKLXR A\nklxr B\nKLXR c\nNumber of devices: 4\n");
}

TEST_F(MeterCommandTest, ListWithoutMeters) {
  Attach(vm::BusConfig{});
  EXPECT_EQ(Run(ListCommand, {}), kExitOk);
  EXPECT_EQ(out_.str(), "Number of devices: 0\n");
}

TEST_F(MeterCommandTest, AdapterShowsTheSettingsAndFixesThem) {
  vm::BusConfig config = vm::OneMeter({});
  config.adapters[0].eeprom = vm::FactoryDefaultEeprom();
  config.adapters[0].eeprom.fields.PnP = 2;
  config.adapters[0].eeprom.fields.InvertTXD = 1;
  Attach(std::move(config));

  EXPECT_EQ(Run(AdapterCommand, {}), kExitFailure);
  EXPECT_EQ(out_.str(),
            "Setting      Adapter                 Required\n"
            "PnP          2                       2\n"
            "SelfPowered  0                       0\n"
            "InvertDTR    0                       1                       differs\n"
            "InvertRXD    0                       0\n"
            "InvertTXD    1                       0                       differs\n"
            "Cbus4        5                       5\n"
            "Description  \"USB Serial Converter\"  \"Quorvel KLXR\"          differs\n"
            "The adapter differs from what the meter link needs; 'klxr-log-cli adapter --fix' "
            "re-programs it.\n");
  EXPECT_EQ(bus_->Adapter(0).Eeprom().description, vm::kFactoryDescription);
  EXPECT_TRUE(boxes_.boxes.empty());

  out_.str("");
  EXPECT_EQ(Run(AdapterCommand, {"--fix"}), kExitOk);
  EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kDeviceUpgraded});
  const vm::EepromContents& fixed = bus_->Adapter(0).Eeprom();
  EXPECT_EQ(fixed.description, "Quorvel KLXR");
  EXPECT_EQ(fixed.fields.InvertDTR, 1);
  EXPECT_EQ(fixed.fields.InvertTXD, 0);
  EXPECT_EQ(fixed.fields.PnP, 2);

  out_.str("");
  EXPECT_EQ(Run(AdapterCommand, {"--fix"}), kExitOk);
  EXPECT_NE(out_.str().find("The adapter has every setting the meter link needs.\n"),
            std::string::npos);
  EXPECT_EQ(boxes_.boxes.size(), 1u);
}

TEST_F(MeterCommandTest, AdapterThatCannotBeOpened) {
  AttachScenario("device\n  in-use");
  EXPECT_EQ(Run(AdapterCommand, {}), kExitFailure);
  EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kUsbPortError});
  EXPECT_EQ(out_.str(), "");
}

TEST(ProgressText, CountsTheRecordsAndFillsTheBar) {
  DownloadState state;
  state.ProgressTotal = 1568;
  state.RecordsReceived = 0;
  EXPECT_EQ(ProgressText(state),
            "Reading the meter log [                                        ] 0 of 1568 records");
  state.ProgressShown = state.RecordsReceived = 784;
  EXPECT_EQ(ProgressText(state),
            "Reading the meter log [####################                    ] 784 of 1568 records");
  state.ProgressShown = 1568;
  state.RecordsReceived = 790;
  EXPECT_EQ(ProgressText(state),
            "Reading the meter log [########################################] 790 records, end of "
            "log");
}

TEST(ProgressLine, RedrawsInPlaceAndCoversALongerLine) {
  std::ostringstream err;
  ProgressLine line(err);
  line.End();
  line.Draw("abcd");
  line.Draw("abcd");
  line.Draw("ab");
  line.End();
  line.End();
  EXPECT_EQ(err.str(), "\rabcd\rab  \n");
}

TEST(TakeOptionValues, ValuesBesideOrAfterTheirOption) {
  struct Case {
    Args arguments;
    std::map<std::string, std::string, std::less<>> values;
    Args rest;
    std::string error;
  };
  const Case cases[] = {
      {{"--out", "a.tlg", "x", "--csv=b.csv"}, {{"--out", "a.tlg"}, {"--csv", "b.csv"}}, {"x"}, ""},
      {{"--out", "-"}, {{"--out", "-"}}, {}, ""},
      {{"--", "--out", "a"}, {}, {"--", "--out", "a"}, ""},
      {{"--outfile", "a"}, {}, {"--outfile", "a"}, ""},
      {{"--out"}, {}, {}, "option '--out' needs a value"},
      {{"--out="}, {}, {}, "option '--out' needs a value"},
      {{"--out", "a", "--out=b"}, {}, {}, "option '--out' given twice"},
  };
  for (const Case& test : cases) {
    const OptionValues result = TakeOptionValues(test.arguments, {"--out", "--csv"});
    EXPECT_EQ(result.error, test.error) << test.arguments[0];
    if (test.error.empty()) {
      EXPECT_EQ(result.values, test.values);
      EXPECT_EQ(result.rest, test.rest);
    }
  }
}

}  // namespace
}  // namespace klxr::cli

namespace klxr::cli {
namespace {

TEST(TakePacedOption, RemovedWhereverItStands) {
  const struct {
    std::vector<std::string> given;
    bool found;
    std::vector<std::string> left;
  } cases[] = {
      {{}, false, {}},
      {{"--paced"}, true, {}},
      {{"--out", "x.tlg", "--paced"}, true, {"--out", "x.tlg"}},
      {{"--paced", "--yes", "--paced"}, true, {"--yes"}},
      {{"--pace"}, false, {"--pace"}},
      {{"--out=--paced"}, false, {"--out=--paced"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.given;
    EXPECT_EQ(TakePacedOption(arguments), c.found);
    EXPECT_EQ(arguments, c.left);
  }
}

}  // namespace
}  // namespace klxr::cli
