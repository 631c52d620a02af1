// The meter commands on several adapters, in-process on the virtual meter's virtual clock: picking
// a device with --device, list --long, the progress of read on a terminal or not, and Ctrl-C.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>

#include "cli/device_choice.h"
#include "cli/exit_status.h"
#include "cli/meter_commands.h"
#include "cli/read_progress.h"
#include "link/driver_messages.h"
#include "run_tool.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/scenario_parser.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::cli {
namespace {

namespace fs = std::filesystem;
using klxr::testing::ReadWholeFile;
using klxr::testing::RecordingMessageBoxes;
using Args = std::vector<std::string>;

// Five adapters, QV104512 to QV104516 by their place: no meter, a meter with 2 records, one held by
// another program, a meter with 5 records, and a factory-default adapter with 3.
constexpr const char* kFiveAdapters =
    "clock virtual\n"
    "device\n  no-meter\n"
    "device\n  records 2\n  version \"KLXR one\"\n"
    "device\n  in-use\n"
    "device\n  records 5\n  version \"KLXR three\"\n"
    "device factory-default\n  records 3\n";

class DeviceCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("klxr-device-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Attach(std::string_view scenario) {
    bus_.reset();
    vm::ParsedConfig parsed = vm::ParseScenario(scenario);
    ASSERT_TRUE(parsed.Ok());
    bus_.emplace(std::move(parsed.config));
    connection_.driver = &driver_;
    connection_.sleep = bus_->SleepFunction();
    connection_.clock = [this] { return bus_->Now(); };
    connection_.stopRequested = [] { return false; };
    out_.str("");
    err_.str("");
    boxes_.boxes.clear();
    boxes_.details.clear();
  }
  int Run(MeterCommandFunction command, const Args& arguments) {
    return command(arguments, context_, connection_);
  }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  static int Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
  }
  static int CountStartingWith(const std::vector<std::string>& lines, const std::string& start) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
      return line.starts_with(start);
    }));
  }

  fs::path folder_;
  std::optional<vm::VirtualBus> bus_;
  const d2xx::D2xxFunctions driver_ = vm::VirtualBus::Functions();
  MeterConnection connection_;
  std::ostringstream out_;
  std::ostringstream err_;
  RecordingMessageBoxes boxes_;
  CliContext context_{out_, err_, boxes_};
};

TEST_F(DeviceCommandTest, ChooseDeviceByIndexOrSerialNumber) {
  Attach(std::string(kFiveAdapters) +
         "device\n  eeprom SerialNumber 1\ndevice\n"
         "  eeprom SerialNumber 40\n");
  struct Case {
    const char* value;
    int index;  // -1: no such device
  };
  const Case cases[] = {
      {"0", 0},         {"4", 4},  {"QV104513", 1}, {"QV104515", 3},
      {"1", 1},          // an index goes before a serial number of the same digits
      {"40", 6},         // digits that are no index are a serial number
      {"006", 6},        // leading zeros still make an index
      {"QV104514", -1},  // in use: its EEPROM cannot be read
      {"qv104513", -1}, {"7", -1}, {"-1", -1},      {"99999999999", -1},
  };
  for (const Case& test : cases) {
    const DeviceChoice choice = ChooseDevice(driver_, test.value);
    EXPECT_EQ(choice.index, test.index) << test.value;
    EXPECT_EQ(choice.error.empty(), test.index >= 0) << test.value;
  }
  EXPECT_EQ(ChooseDevice(driver_, "QV104514").error,
            "no USB device 'QV104514': 7 devices are attached, indexes 0 to 6, and none has that "
            "serial number (1 could not be opened to read it)");

  Attach("clock virtual");
  EXPECT_EQ(ChooseDevice(driver_, "0").error, "no USB device '0': none is attached");
}

TEST_F(DeviceCommandTest, ReadEraseAndAdapterWorkOnTheDeviceNamed) {
  struct Case {
    MeterCommandFunction command;
    Args arguments;
    int status;
    const char* opened;  // the conversation's open
  };
  const Case cases[] = {
      {ReadCommand, {"--device", "3"}, kExitOk, "FT_Open(3)"},
      {ReadCommand, {"--device=QV104513"}, kExitOk, "FT_Open(1)"},
      {EraseCommand, {"--yes", "--device", "QV104515"}, kExitOk, "FT_Open(3)"},
      {AdapterCommand, {"--device", "4"}, kExitFailure, "FT_Open(4)"},
      {AdapterCommand, {"--device", "QV104513"}, kExitOk, "FT_Open(1)"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.arguments.back());
    Attach(kFiveAdapters);
    EXPECT_EQ(Run(test.command, test.arguments), test.status) << err_.str();
    // The device is found before the conversation opens it.
    std::vector<std::string> opens = bus_->CallLog();
    std::erase_if(opens, [](const std::string& call) { return !call.starts_with("FT_Open("); });
    ASSERT_FALSE(opens.empty());
    EXPECT_EQ(opens.back(), test.opened);
  }
  // The read printed the 5 records of device 3; the erase emptied device 3 alone.
  Attach(kFiveAdapters);
  EXPECT_EQ(Run(ReadCommand, {"--device", "3"}), kExitOk);
  const std::string printed = out_.str();
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 5);
  EXPECT_EQ(Run(EraseCommand, {"--device", "3", "--yes"}), kExitOk);
  EXPECT_EQ(bus_->Adapter(3).Meter()->RecordCount(), 0u);
  EXPECT_EQ(bus_->Adapter(1).Meter()->RecordCount(), 2u);
}

TEST_F(DeviceCommandTest, WithoutDeviceTheFirstIsOpenedWithoutLookingForIt) {
  const MeterCommandFunction commands[] = {ReadCommand, EraseCommand, AdapterCommand};
  for (MeterCommandFunction command : commands) {
    Attach("clock virtual\ndevice\ndevice");
    Run(command, command == EraseCommand ? Args{"--yes"} : Args{});
    ASSERT_FALSE(bus_->CallLog().empty());
    EXPECT_EQ(bus_->CallLog().front(), "FT_Open(0)");
    EXPECT_EQ(CountStartingWith(bus_->CallLog(), "FT_ListDevices"), 0);
  }
}

TEST_F(DeviceCommandTest, AnUnknownDeviceIsAnErrorAndNothingIsSent) {
  const MeterCommandFunction commands[] = {ReadCommand, EraseCommand, AdapterCommand};
  for (MeterCommandFunction command : commands) {
    Attach(kFiveAdapters);
    std::ofstream(PathOf("kept.tlg")) << "kept";
    const Args arguments = command == ReadCommand
                               ? Args{"--device", "5", "--out", PathOf("kept.tlg")}
                               : Args{"--device", "5"};
    EXPECT_EQ(Run(command, arguments), kExitFailure);
    EXPECT_NE(err_.str().find(": no USB device '5': 5 devices are attached, indexes 0 to 4"),
              std::string::npos)
        << err_.str();
    EXPECT_TRUE(boxes_.boxes.empty());  // not even the erase question
    EXPECT_TRUE(bus_->WireLog().empty());
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(ReadWholeFile(PathOf("kept.tlg")), "kept");
  }
  Attach(kFiveAdapters);
  EXPECT_EQ(Run(ReadCommand, {"--device"}), kExitUsage);
  EXPECT_EQ(Run(EraseCommand, {"--device", "1", "--device", "2"}), kExitUsage);
  EXPECT_TRUE(bus_->CallLog().empty());
}

TEST_F(DeviceCommandTest, LongListShowsEveryAdapterAndWhyItIsNotListed) {
  Attach(kFiveAdapters);
  EXPECT_EQ(Run(ListCommand, {"--long"}), kExitOk);
  EXPECT_EQ(out_.str(),
            "0\tQV104512\tQuorvel KLXR\t(silent)\n"
            "1\tQV104513\tQuorvel KLXR\tKLXR one\n"
            "2\t-\t-\t(in use)\n"
            "3\tQV104515\tQuorvel KLXR\tKLXR three\n"
            "4\tQV104516\tUSB Serial Converter\t(not a meter lead)\n"
            "Number of devices: 2\n");
  // Listing re-programs nothing.
  EXPECT_EQ(bus_->Adapter(4).Eeprom().description, "USB Serial Converter");
  EXPECT_EQ(err_.str(), "");

  out_.str("");
  EXPECT_EQ(Run(ListCommand, {}), kExitOk);
  EXPECT_EQ(out_.str(), "KLXR one\nKLXR three\nNumber of devices: 2\n");

  Attach("clock virtual");
  EXPECT_EQ(Run(ListCommand, {"--long"}), kExitOk);
  EXPECT_EQ(out_.str(), "Number of devices: 0\n");
}

// A lead this user may not open is listed with that reason, and standard error says how to let the
// user open it; one in use or absent is told apart from it.
TEST_F(DeviceCommandTest, ALeadTheUserMayNotOpenIsListedWithTheWayToFixIt) {
  Attach(
      "clock virtual\ndevice\n  records 2\n  version \"KLXR one\"\ndevice\n  no-permission\n"
      "device\n  in-use\n");
  EXPECT_EQ(Run(ListCommand, {"--long"}), kExitOk);
  EXPECT_EQ(out_.str(),
            "0\tQV104512\tQuorvel KLXR\tKLXR one\n"
            "1\t-\t-\t(no permission)\n"
            "2\t-\t-\t(in use)\n"
            "Number of devices: 1\n");
  const std::string fix =
      "klxr-log-cli list: " + LeadProblemText(1, d2xx::kOpenNotPermitted) + "\n";
  EXPECT_EQ(err_.str(), fix);
  for (const char* text : {"(device 1) was found, but this user may not open it",
                           "/lib/udev/rules.d/70-klxr-meter.rules", "group"}) {
    EXPECT_NE(fix.find(text), std::string::npos) << text;
  }

  out_.str("");
  err_.str("");
  EXPECT_EQ(Run(ListCommand, {}), kExitOk);
  EXPECT_EQ(out_.str(), "KLXR one\ndevice 1: (no permission)\nNumber of devices: 1\n");
  EXPECT_EQ(err_.str(), fix);
}

// The commands on one lead show "USB Port Error" with the lead's situation as its detail.
TEST_F(DeviceCommandTest, PortErrorSaysWhyTheLeadCannotBeUsed) {
  const struct {
    const char* scenario;
    const char* detail;
  } situations[] = {
      {"clock virtual", "No USB lead is attached as device 0"},
      {"clock virtual\ndevice\n  in-use", "The USB lead (device 0) is in use"},
      {"clock virtual\ndevice\n  no-permission",
       "The USB lead (device 0) was found, but this user may not open it"},
  };
  const std::pair<MeterCommandFunction, Args> commands[] = {
      {ReadCommand, {}}, {EraseCommand, {"--yes"}}, {AdapterCommand, {}}};
  for (const auto& situation : situations) {
    for (const auto& [command, arguments] : commands) {
      SCOPED_TRACE(std::string(situation.scenario) + " " +
                   (arguments.empty() ? "" : arguments.front()));
      Attach(situation.scenario);
      EXPECT_EQ(Run(command, arguments), kExitFailure);
      EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kUsbPortError});
      ASSERT_EQ(boxes_.details.size(), 1u);
      EXPECT_TRUE(boxes_.details[0].starts_with(situation.detail)) << boxes_.details[0];
    }
  }
}

TEST_F(DeviceCommandTest, ProgressIsDrawnOnATerminalOrAsked) {
  struct Case {
    const char* name;
    bool terminal;
    Args arguments;
    bool live;
    int plainLines;
  };
  const Case cases[] = {
      // The survey archive's line is left out: it follows the summary.
      {"pipe or file", false, {"--no-archive"}, false, 0},
      {"terminal", true, {"--no-archive"}, true, 0},
      {"--progress", false, {"--progress", "--no-archive"}, false, 2},
      {"--progress on a terminal", true, {"--progress", "--no-archive"}, false, 2},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Attach("clock virtual\ndevice\n  records 320");
    context_.errIsTerminal = test.terminal;
    EXPECT_EQ(Run(ReadCommand, test.arguments), kExitOk);
    const std::string err = err_.str();
    EXPECT_EQ(err.find('\r') != std::string::npos, test.live);
    EXPECT_EQ(err.find("/s, up to ") != std::string::npos, test.live);
    std::string plain;
    if (test.plainLines > 0) {
      plain =
          "Reading the meter log: 157 of 1568 records (10 %)\n"
          "Reading the meter log: 314 of 1568 records (20 %)\n";
    }
    const std::string summary = SummaryText(320, bus_->Now()) + "\n";
    ASSERT_GE(err.size(), summary.size());
    EXPECT_EQ(err.substr(err.size() - summary.size()), summary);
    if (!test.live) {
      EXPECT_EQ(err, plain + summary);
    }
  }
}

TEST_F(DeviceCommandTest, FailedReadHasNoSummary) {
  Attach("clock virtual\ndevice\n  fault GET 3 silence\n  fault GET 4+ silence");
  EXPECT_EQ(Run(ReadCommand, {"--no-archive"}), kExitFailure);
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kHandshakeNotReceived});
}

TEST_F(DeviceCommandTest, StopRequestEndsTheReadWithEndAndWritesNothing) {
  struct Case {
    const char* name;
    int stopAtRecord;  // the stop is asked once the meter has sent this many records
    int records;
  };
  const Case cases[] = {{"at once", 0, 10}, {"midway", 4, 10}, {"near the end", 10, 10}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    Attach("clock virtual\ndevice\n  records " + std::to_string(test.records));
    connection_.stopRequested = [this, &test] {
      return bus_->Adapter(0).Meter()->NextRecord() >= static_cast<std::size_t>(test.stopAtRecord);
    };
    std::ofstream(PathOf("kept.tlg")) << "kept";
    EXPECT_EQ(Run(ReadCommand, {"--out", PathOf("kept.tlg"), "--csv", PathOf("new.csv")}), 130);

    const std::vector<std::string> wire = bus_->WireLog();
    const int acknowledged = Count(wire, "-> 06");
    EXPECT_EQ(err_.str(), "klxr-log-cli read: interrupted after " + std::to_string(acknowledged) +
                              (acknowledged == 1 ? " record" : " records") +
                              "; nothing was written\n");
    EXPECT_EQ(ReadWholeFile(PathOf("kept.tlg")), "kept");
    EXPECT_FALSE(fs::exists(PathOf("new.csv")));
    EXPECT_EQ(out_.str(), "");
    // The conversation ends as a finished one does: "END" last on the wire, then the port closed.
    EXPECT_EQ(bus_->CallLog().back(), "FT_Close");
    EXPECT_EQ(Count(wire, "-> 02 03 45 4E 44 25"), 1);
    EXPECT_EQ(wire.back(), "-> 02 03 45 4E 44 25");
    EXPECT_FALSE(bus_->Adapter(0).Meter()->InLogConversation());
  }
}

TEST_F(DeviceCommandTest, StopRequestAfterTheTransferStillWritesNothing) {
  Attach("clock virtual\ndevice\n  records 3");
  connection_.stopRequested = [this] { return !boxes_.boxes.empty(); };
  EXPECT_EQ(Run(ReadCommand, {"--csv", PathOf("new.csv")}), 130);
  EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kTransferComplete});
  EXPECT_EQ(err_.str(), "klxr-log-cli read: interrupted after 3 records; nothing was written\n");
  EXPECT_FALSE(fs::exists(PathOf("new.csv")));
}

}  // namespace
}  // namespace klxr::cli
