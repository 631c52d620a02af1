// The built klxr-log-cli with no driver variable set: it finds the open driver beside itself in the
// build tree and reaches the emulated adapters of this process (the tool inherits the emulation).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "cli/run_tool.h"
#include "tests/open-driver/emulated_usb_bus.h"
#include "virtual-meter/meter_records.h"

namespace klxr::emulation {
namespace {

using testing::RunTool;
using testing::ToolRun;

class OpenDriverTool : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!EmulatedUsbBus::Available()) {
      GTEST_SKIP() << "not running under umockdev-wrapper";
    }
    if (const char* value = std::getenv("KLXR_D2XX_LIBRARY")) {
      previous_ = value;
    }
    unsetenv("KLXR_D2XX_LIBRARY");
    char pattern[] = "/tmp/klxr-open-driver-tool-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch_ = pattern;
  }
  void TearDown() override {
    if (!scratch_.empty()) {
      std::filesystem::remove_all(scratch_);
    }
    if (previous_) {
      setenv("KLXR_D2XX_LIBRARY", previous_->c_str(), 1);
    }
  }
  ToolRun Run(const std::vector<std::string>& arguments, const std::string& input = "") {
    return RunTool(arguments, scratch_, input);
  }

  static EmulatedAdapterConfig Meter(int records, const char* version = nullptr) {
    EmulatedAdapterConfig config;
    config.meter->records = vm::GeneratedRecords(records);
    if (version != nullptr) {
      config.meter->versionText = version;
    }
    return config;
  }

  std::filesystem::path scratch_;
  std::optional<std::string> previous_;
};

TEST_F(OpenDriverTool, ListsTheEmulatedMeters) {
  const struct {
    std::vector<EmulatedAdapterConfig> adapters;
    const char* devices;
  } cases[] = {
      {{}, "Number of devices: 0"},
      {{Meter(0)}, "Number of devices: 1"},
      {{Meter(0), Meter(0, "KLXR V2.40 S/N 200001")}, "Number of devices: 2"},
  };
  for (const auto& c : cases) {
    EmulatedUsbBus bus(c.adapters);
    const ToolRun list = Run({"list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find(c.devices), std::string::npos) << list.out;
    if (c.adapters.size() == 2) {
      EXPECT_NE(list.out.find("KLXR V2.40 S/N 200001"), std::string::npos) << list.out;
    }
  }
}

TEST_F(OpenDriverTool, ReadsAndErasesTheLog) {
  EmulatedUsbBus bus({Meter(3)});
  const std::filesystem::path saved = scratch_ / "read.tlg";
  const ToolRun read = Run({"read", "--out", saved.string()});
  EXPECT_EQ(read.status, 0) << read.err;
  const std::string image = testing::ReadWholeFile(saved);
  ASSERT_EQ(image.size(), kLogImageSize);
  const std::vector<vm::RecordBytes> records = vm::GeneratedRecords(3);
  for (std::size_t slot = 0; slot < records.size(); ++slot) {
    EXPECT_TRUE(std::equal(records[slot].begin(), records[slot].end(),
                           reinterpret_cast<const std::uint8_t*>(image.data()) + slot * 64));
  }
  const ToolRun erase = Run({"erase", "--yes"});
  EXPECT_EQ(erase.status, 0) << erase.err;
  const ToolRun again = Run({"read"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, "");
}

TEST_F(OpenDriverTool, AdapterCheckFixesAFactoryDefaultAdapter) {
  EmulatedAdapterConfig factory = Meter(1);
  factory.eeprom = BuildEepromImage(vm::FactoryDefaultEeprom());
  EmulatedUsbBus bus({factory});
  EXPECT_EQ(Run({"adapter"}).status, 1);
  const ToolRun fix = Run({"adapter", "--fix"});
  EXPECT_EQ(fix.status, 0) << fix.err;
  EXPECT_EQ(Run({"adapter"}).status, 0);
  EXPECT_EQ(bus.Eeprom(0), BuildEepromImage(vm::MeterLeadEeprom()));
}

#if defined(KLXR_LOG_PROGRAM)
TEST_F(OpenDriverTool, DesktopProgramReadsThroughTheOpenDriver) {
  EmulatedUsbBus bus({Meter(4)});
  const std::filesystem::path script = scratch_ / "script.txt";
  std::ofstream(script) << "answer ok\ncommand 32779\nwait-idle\nquit\n";
  const std::filesystem::path out = scratch_ / "out.txt";
  const std::string command = "QT_QPA_PLATFORM=offscreen KLXR_AUTOMATION='" + script.string() +
                              "' KLXR_SETTINGS_FILE='" + (scratch_ / "settings.ini").string() +
                              "' '" + KLXR_LOG_PROGRAM + "' >'" + out.string() + "' 2>'" +
                              (scratch_ / "err.txt").string() + "'";
  const int status = std::system(command.c_str());
  const std::string output = testing::ReadWholeFile(out);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0)
      << testing::ReadWholeFile(scratch_ / "err.txt");
  EXPECT_EQ(output, "box information 3 \"Transfer Complete!\" -> ok\n");
  const std::vector<std::string> wire = bus.WireLog(0);
  EXPECT_EQ(
      std::count_if(wire.begin(), wire.end(),
                    [](const std::string& entry) { return entry.rfind("<- 06 02 40", 0) == 0; }),
      4);  // the four records, each ACK and a frame of 64 bytes
}
#endif

}  // namespace
}  // namespace klxr::emulation
