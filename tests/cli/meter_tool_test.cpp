// The built klxr-log-cli on the loadable virtual meter, selected through KLXR_D2XX_LIBRARY and run
// on its virtual clock. Only the tool's own pauses (300 ms a read, 100 ms an erase) take real time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>

#include "run_tool.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::ClearVariable;
using testing::ReadWholeFile;
using testing::RunTool;
using testing::SetVariable;
using testing::ToolRun;

const fs::path kSamples = KLXR_SAMPLES_DIR;
const fs::path kExpected = KLXR_EXPECTED_DIR;

// The program's warning as it stands, followed by the file tried and why.
constexpr const char* kMissingDriverWarning = "Warning, can't load USB driver (ftd2xx.dll)\n";

constexpr const char* kMeterVariables[] = {"KLXR_D2XX_LIBRARY", "KLXR_VM_CLOCK",
                                           "KLXR_VM_LOG",       "KLXR_VM_DEVICES",
                                           "KLXR_VM_VERSION",   "KLXR_VM_RECORDS"};

class MeterToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("klxr-tool-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    SetVariable("KLXR_D2XX_LIBRARY", KLXR_VM_LIBRARY_PATH);
    SetVariable("KLXR_VM_CLOCK", "virtual");
  }
  void TearDown() override {
    for (const char* name : kMeterVariables) {
      ClearVariable(name);
    }
    fs::remove_all(folder_);
  }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  ToolRun Run(const std::vector<std::string>& arguments, const std::string& input = "") {
    return RunTool(arguments, folder_, input);
  }

  fs::path folder_;
};

TEST_F(MeterToolTest, ReadOfASampleLogSavesTheImageAndTheCsv) {
  SetVariable("KLXR_VM_LOG", (kSamples / "mixed.tlg").string());
  const ToolRun run = Run({"read", "--out", PathOf("read.tlg"), "--csv", PathOf("read.csv")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  // Standard error is a file: no progress, only the message and the summary.
  EXPECT_TRUE(run.err.starts_with("Transfer Complete!\n40 records read in ")) << run.err;
  EXPECT_EQ(run.err.find('\r'), std::string::npos);
  EXPECT_EQ(ReadWholeFile(PathOf("read.tlg")), ReadWholeFile(kSamples / "mixed.tlg"));
  EXPECT_EQ(ReadWholeFile(PathOf("read.csv")), ReadWholeFile(kExpected / "mixed.csv"));
}

TEST_F(MeterToolTest, EraseThenList) {
  SetVariable("KLXR_VM_DEVICES", "meter,factory,silent,meter");
  SetVariable("KLXR_VM_VERSION", "KLXR V2.31");
  const ToolRun asked = Run({"erase"}, "y\n");
  EXPECT_EQ(asked.status, 0);
  EXPECT_EQ(asked.err,
            "Please confirm that you wish to erase the meter log data?\n"
            "(This may take a few seconds) [y/n] Meter log data erased\n");
  const ToolRun refused = Run({"erase"}, "n\n");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err.find("erased"), std::string::npos);

  const ToolRun list = Run({"list"});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.out, "KLXR V2.31\nKLXR V2.31\nNumber of devices: 2\n");
  EXPECT_EQ(list.err, "");
}

TEST_F(MeterToolTest, AdapterWithAndWithoutFixOnAFactoryDefaultAdapter) {
  SetVariable("KLXR_VM_DEVICES", "factory");
  const ToolRun check = Run({"adapter"});
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(
      check.out.find("PnP          1                       0                       differs\n"),
      std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("Description  \"USB Serial Converter\"  \"Quorvel KLXR\""),
            std::string::npos);
  EXPECT_EQ(check.err, "");

  const ToolRun fix = Run({"adapter", "--fix"});
  EXPECT_EQ(fix.status, 0);
  EXPECT_EQ(fix.err,
            "The device has been upgraded and is recycling. You may need to disconnect then "
            "reconnect the USB lead.\n");
}

TEST_F(MeterToolTest, WithoutDriverLibrary) {
  SetVariable("KLXR_D2XX_LIBRARY", PathOf("no-such-driver.so"));
  const ToolRun read = Run({"read"});
  EXPECT_EQ(read.status, 1);
  EXPECT_NE(read.err.find("You must install the USB driver first!\n"), std::string::npos);
  const std::string tried =
      "No USB driver library could be loaded. Tried: " + PathOf("no-such-driver.so") + " (";
  EXPECT_EQ(read.err.rfind("klxr-log-cli: " + tried, 0), 0u) << read.err;
  const ToolRun list = Run({"list"});
  EXPECT_EQ(list.status, 1);
  EXPECT_EQ(list.err.rfind(kMissingDriverWarning + tried, 0), 0u) << list.err;
  EXPECT_EQ(list.out, "");
}

TEST_F(MeterToolTest, ReadWithoutMeterReportsThePortError) {
  SetVariable("KLXR_VM_DEVICES", "0");
  const ToolRun run = Run({"read", "--out", PathOf("read.tlg")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("USB Port Error\nNo USB lead is attached as device 0: ", 0), 0u)
      << run.err;
  EXPECT_FALSE(fs::exists(PathOf("read.tlg")));
}

TEST_F(MeterToolTest, DemoReadsTheBundledSampleWhateverTheEnvironmentSays) {
  SetVariable("KLXR_D2XX_LIBRARY", PathOf("no-such-driver.so"));
  SetVariable("KLXR_VM_RECORDS", "5");  // would clash with the demo's log if it were left
  const ToolRun run = Run({"--demo", "read", "--out", PathOf("demo.tlg")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("Transfer Complete!"), std::string::npos) << run.err;
  EXPECT_EQ(ReadWholeFile(PathOf("demo.tlg")), ReadWholeFile(kSamples / "mixed.tlg"));
}

TEST_F(MeterToolTest, DemoReadsAreKeptApartFromRealSurveys) {
  // The user's data folder (both systems' names) is the test's folder, and no archive is named.
  const char* names[] = {"KLXR_ARCHIVE", "XDG_DATA_HOME", "LOCALAPPDATA"};
  std::vector<std::optional<std::string>> saved;
  for (const char* name : names) {
    const char* value = std::getenv(name);
    saved.push_back(value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    SetVariable(name, folder_.string());
  }
  ClearVariable("KLXR_ARCHIVE");
  const ToolRun run = Run({"--demo", "read", "--out", PathOf("demo.tlg")});
  for (std::size_t i = 0; i < saved.size(); ++i) {
    saved[i] ? SetVariable(names[i], *saved[i]) : ClearVariable(names[i]);
  }
  EXPECT_EQ(run.status, 0) << run.err;
  if (run.err.find("kept as survey 1") != std::string::npos) {
    EXPECT_TRUE(fs::exists(folder_ / "klxr-log" / "demo-surveys.sqlite"));
  } else {
    EXPECT_NE(run.err.find("no survey archive"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(folder_ / "klxr-log" / "surveys.sqlite"));
}

TEST_F(MeterToolTest, DemoIsAnOptionBeforeTheCommandOnly) {
  const struct {
    std::vector<std::string> arguments;
    int status;
    const char* shown;  // on standard output or standard error
  } kCases[] = {
      {{"--demo"}, 2, "Usage: klxr-log-cli"},
      {{"read", "--demo"}, 2, "--demo"},
      {{"--demo", "--demo", "list"}, 2, "unknown option '--demo'"},
      {{"--demo", "--version"}, 0, "klxr-log-cli "},
      {{"--demo", "list"}, 0, "Number of devices: 1"},
  };
  for (const auto& testCase : kCases) {
    const ToolRun run = Run(testCase.arguments);
    EXPECT_EQ(run.status, testCase.status) << testCase.arguments.back();
    EXPECT_NE((run.out + run.err).find(testCase.shown), std::string::npos) << run.out << run.err;
  }
}

}  // namespace
}  // namespace klxr
