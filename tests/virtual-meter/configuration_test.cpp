// The scenario file and the environment variables that configure a bus.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "virtual-meter/environment_config.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/scenario_parser.h"

namespace klxr::vm {
namespace {

std::string SourceDir() {
  return KLXR_SOURCE_DIR;
}

std::string SampleFile(const std::string& name) {
  return SourceDir() + "/samples/" + name;
}

TEST(Scenario, DescribesDevicesMetersFaultsAndTiming) {
  const ParsedConfig parsed = ParseScenario(R"(# two adapters
clock real
transcript wire.txt

device meter-lead
  records 12 7
  version "KLXR V9.99 S/N 1"
  processing-ms 0.25
  erase-ms 3000
  usb-latency-ms 2
  usb-packet-size 32
  eeprom SerialNumber QV777
  eeprom Cbus0 0x0A
  fault GET 3 split 10 40
  fault VERSION every nak
  fault GET 5+ short 20
  fault LOG 2-4 slow 150
  vanish after-replies 9
device factory-default
  no-meter
  in-use
)",
                                            "/scenarios");
  ASSERT_TRUE(parsed.Ok()) << parsed.errors.front();
  const BusConfig& config = parsed.config;
  EXPECT_EQ(config.clock, ClockKind::kReal);
  // Compared as paths: Windows joins the folder and the name with a backslash.
  EXPECT_EQ(std::filesystem::path(config.transcriptPath),
            std::filesystem::path("/scenarios/wire.txt"));
  ASSERT_EQ(config.adapters.size(), 2u);

  const AdapterConfig& lead = config.adapters[0];
  ASSERT_TRUE(lead.meter.has_value());
  EXPECT_EQ(lead.meter->records, GeneratedRecords(12, 7));
  EXPECT_EQ(lead.meter->versionText, "KLXR V9.99 S/N 1");
  EXPECT_EQ(lead.meter->processingUs, 250);
  EXPECT_EQ(lead.meter->eraseUs, 3'000'000);
  EXPECT_EQ(lead.usb.latencyUs, 2000);
  EXPECT_EQ(lead.usb.packetSize, 32);
  EXPECT_EQ(lead.eeprom.serialNumber, "QV777");
  EXPECT_EQ(lead.eeprom.fields.Cbus0, 0x0A);
  EXPECT_EQ(lead.eeprom.description, kMeterLeadDescription);
  EXPECT_EQ(lead.vanish.trigger, VanishTrigger::kAfterReplies);
  EXPECT_EQ(lead.vanish.count, 9);

  struct Expected {
    std::string command;
    int first;
    int last;
    FaultKind kind;
    int bytes;
    Micros delay;
  };
  const Expected faults[] = {
      {"GET", 3, 3, FaultKind::kSplit, 10, 40'000},
      {"VERSION", 1, INT_MAX, FaultKind::kNak, 0, 0},
      {"GET", 5, INT_MAX, FaultKind::kShortPayload, 20, 0},
      {"LOG", 2, 4, FaultKind::kSlow, 0, 150'000},
  };
  ASSERT_EQ(lead.meter->faults.size(), std::size(faults));
  for (std::size_t i = 0; i < std::size(faults); ++i) {
    const FaultRule& rule = lead.meter->faults[i];
    EXPECT_EQ(rule.command, faults[i].command) << i;
    EXPECT_EQ(rule.firstOccurrence, faults[i].first) << i;
    EXPECT_EQ(rule.lastOccurrence, faults[i].last) << i;
    EXPECT_EQ(rule.kind, faults[i].kind) << i;
    EXPECT_EQ(rule.splitAfterBytes + rule.payloadBytes, faults[i].bytes) << i;
    EXPECT_EQ(rule.delayUs, faults[i].delay) << i;
  }

  const AdapterConfig& factory = config.adapters[1];
  EXPECT_FALSE(factory.meter.has_value());
  EXPECT_TRUE(factory.inUseElsewhere);
  EXPECT_EQ(factory.eeprom.fields.PnP, 1);
  EXPECT_EQ(factory.eeprom.description, kFactoryDescription);
}

TEST(Scenario, ADeviceWithoutALogLineHoldsTheDefaultGeneratedLog) {
  const ParsedConfig parsed = ParseScenario("device\n");
  ASSERT_TRUE(parsed.Ok());
  EXPECT_EQ(parsed.config.adapters[0].meter->records.size(),
            static_cast<std::size_t>(kDefaultRecordCount));
  EXPECT_EQ(parsed.config.clock, ClockKind::kVirtual);
  EXPECT_FALSE(parsed.clockGiven);
}

TEST(Scenario, ReadsTheLogOfATlgFile) {
  const ParsedConfig parsed =
      ParseScenario("device\n  log mixed.tlg\ndevice\n  log full.tlg\n", SourceDir() + "/samples");
  ASSERT_TRUE(parsed.Ok()) << parsed.errors.front();
  EXPECT_EQ(parsed.config.adapters[0].meter->records.size(), 40u);
  EXPECT_EQ(parsed.config.adapters[1].meter->records.size(), 1568u);
  EXPECT_EQ(LoadTlgRecords(SampleFile("ends-with-e.tlg")).records.size(), 12u)
      << "only the counted records";
}

TEST(Scenario, BadInputIsReportedWithItsLine) {
  struct Case {
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"records 5", "line 1: 'records' belongs to a device"},
      {"clock sometimes", "line 1: clock is 'virtual' or 'real'"},
      {"device gadget", "line 1: unknown device preset 'gadget'"},
      {"device\n  colour blue", "line 2: unknown setting 'colour'"},
      {"device\n  records 1569", "line 2: records needs a count from 0 to 1568"},
      {"device\n  records", "line 2: wrong number of values for 'records'"},
      {"device\n  version \"unclosed", "line 2: a text in double quotes is not closed"},
      {"device\n  version " + std::string(128, 'v'), "line 2: the version text has more than 127"},
      {"device\n  eeprom Colour 1", "line 2: unknown EEPROM field 'Colour'"},
      {"device\n  eeprom PnP 70000", "line 2: PnP needs a number from 0 to 65535"},
      {"device\n  eeprom Cbus4 256", "line 2: Cbus4 needs a number from 0 to 255"},
      {"device\n  eeprom Description " + std::string(64, 'd'),
       "line 2: Description holds at most 63 characters"},
      {"device\n  fault GET", "line 2: fault needs COMMAND WHEN KIND"},
      {"device\n  fault GET 0 nak", "line 2: fault needs"},
      {"device\n  fault GET 3-2 nak", "line 2: fault needs"},
      {"device\n  fault GET 1 explode", "line 2: fault needs"},
      {"device\n  fault GET 1 split 10", "line 2: fault needs"},
      {"device\n  fault GET 1 short 200", "line 2: fault values"},
      {"device\n  fault GET 1 slow -5", "line 2: fault values"},
      {"device\n  processing-ms soon", "line 2: processing-ms needs a time"},
      {"device\n  vanish tomorrow 1", "line 2: vanish needs"},
      {"device\n  vanish after-replies 0", "line 2: vanish needs"},
      {"device\n  usb-latency-ms 0.5", "line 2: usb-latency-ms needs a time of at least 1 ms"},
      {"device\n  usb-packet-size 2", "line 2: usb-packet-size needs"},
      {"device\n  records 3\n  no-meter", "line 1: the device has 'no-meter' but line 2"},
      {"device\n  records 3\n  log x.tlg", "line 1: the device's meter has both 'log' and"},
      {"device\n  log missing.tlg", "line 1: cannot read the log file"},
      {"device\n  log " + SampleFile("sample_logs.h"), "is not a log image"},
  };
  for (const Case& c : cases) {
    const ParsedConfig parsed = ParseScenario(c.text, "/nowhere");
    ASSERT_FALSE(parsed.Ok()) << c.text;
    EXPECT_NE(parsed.errors.front().find(c.error), std::string::npos)
        << c.text << "\n  gave: " << parsed.errors.front();
  }
  EXPECT_EQ(ParseScenario("device\n  records x\n  version\n").errors.size(), 2u)
      << "every problem is listed";
}

TEST(Scenario, AFileTakesItsRelativeNamesFromItsFolder) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("klxr-vm-scenario-" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(SampleFile("mixed.tlg"), folder / "meter.tlg",
                             std::filesystem::copy_options::overwrite_existing);
  std::ofstream(folder / "bus.scenario") << "device\n  log meter.tlg\n";
  const ParsedConfig parsed = LoadScenarioFile((folder / "bus.scenario").string());
  EXPECT_TRUE(parsed.Ok());
  EXPECT_EQ(parsed.config.adapters.at(0).meter->records.size(), 40u);
  EXPECT_FALSE(LoadScenarioFile((folder / "none.scenario").string()).Ok());
  std::filesystem::remove_all(folder);
}

EnvironmentLookup Environment(std::map<std::string, std::string> variables) {
  return [variables](const char* name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    return found == variables.end() ? std::nullopt : std::optional<std::string>(found->second);
  };
}

TEST(Environment, DefaultsToOneMeterOnTheRealClock) {
  const ParsedConfig parsed = ConfigFromEnvironment(Environment({}));
  ASSERT_TRUE(parsed.Ok());
  ASSERT_EQ(parsed.config.adapters.size(), 1u);
  EXPECT_EQ(parsed.config.adapters[0].meter->records.size(), 100u);
  EXPECT_EQ(parsed.config.adapters[0].meter->versionText, kDefaultVersionText);
  EXPECT_EQ(parsed.config.adapters[0].eeprom.description, kMeterLeadDescription);
  EXPECT_EQ(parsed.config.clock, ClockKind::kReal);
  EXPECT_TRUE(parsed.config.clockCountsRealTimeBetweenCalls);
}

TEST(Environment, SetsTheCommonCases) {
  const ParsedConfig parsed = ConfigFromEnvironment(Environment({
      {"KLXR_VM_DEVICES", "meter,factory,silent,in-use"},
      {"KLXR_VM_LOG", SampleFile("mixed.tlg")},
      {"KLXR_VM_VERSION", "KLXR V1.00"},
      {"KLXR_VM_CLOCK", "virtual"},
  }));
  ASSERT_TRUE(parsed.Ok()) << parsed.errors.front();
  const std::vector<AdapterConfig>& adapters = parsed.config.adapters;
  ASSERT_EQ(adapters.size(), 4u);
  EXPECT_EQ(adapters[0].meter->records.size(), 40u);
  EXPECT_EQ(adapters[1].meter->versionText, "KLXR V1.00");
  EXPECT_EQ(adapters[1].eeprom.description, kFactoryDescription);
  EXPECT_FALSE(adapters[2].meter.has_value());
  EXPECT_TRUE(adapters[3].inUseElsewhere);
  EXPECT_NE(adapters[0].eeprom.serialNumber, adapters[3].eeprom.serialNumber);
  EXPECT_EQ(parsed.config.clock, ClockKind::kVirtual);

  const ParsedConfig counted =
      ConfigFromEnvironment(Environment({{"KLXR_VM_DEVICES", "3"}, {"KLXR_VM_RECORDS", "0"}}));
  ASSERT_TRUE(counted.Ok());
  EXPECT_EQ(counted.config.adapters.size(), 3u);
  EXPECT_TRUE(counted.config.adapters[2].meter->records.empty());
}

TEST(Environment, RelativeFileNamesAreTakenFromTheGivenFolder) {
  struct Case {
    const char* variable;
    std::string value;
    std::optional<std::string> seen;
  };
  const std::string folder = (std::filesystem::path("/start") / "here").string();
  const auto inFolder = [&folder](const char* name) {
    return (std::filesystem::path(folder) / name).string();
  };
  const Case cases[] = {
      {"KLXR_VM_LOG", "samples/mixed.tlg", inFolder("samples/mixed.tlg")},
      {"KLXR_VM_SCENARIO", "bus.scenario", inFolder("bus.scenario")},
      {"KLXR_VM_TRANSCRIPT", "../wire.txt", inFolder("../wire.txt")},
      {"KLXR_VM_LOG", "/abs/x.tlg", "/abs/x.tlg"},
      {"KLXR_VM_LOG", "", ""},                // empty stays empty: reported as it is
      {"KLXR_VM_VERSION", "v/1.0", "v/1.0"},  // not a file name
      {"KLXR_VM_DEVICES", "meter", "meter"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(std::string(test.variable) + "=" + test.value);
    const EnvironmentLookup lookup =
        WithFilesFrom(folder, Environment({{test.variable, test.value}}));
    EXPECT_EQ(lookup(test.variable), test.seen);
    EXPECT_EQ(lookup("KLXR_VM_RECORDS"), std::nullopt);
  }
  // Without a folder nothing changes.
  EXPECT_EQ(WithFilesFrom("", Environment({{"KLXR_VM_LOG", "a.tlg"}}))("KLXR_VM_LOG"), "a.tlg");
}

TEST(Environment, BadValuesAreReported) {
  struct Case {
    std::map<std::string, std::string> variables;
    std::string error;
  };
  const Case cases[] = {
      {{{"KLXR_VM_DEVICES", "meter,robot"}}, "KLXR_VM_DEVICES: unknown device kind 'robot'"},
      {{{"KLXR_VM_RECORDS", "many"}}, "KLXR_VM_RECORDS: 'many' is not a count"},
      {{{"KLXR_VM_LOG", "/nowhere/x.tlg"}}, "KLXR_VM_LOG: cannot read the log file"},
      {{{"KLXR_VM_LOG", "a.tlg"}, {"KLXR_VM_RECORDS", "3"}}, "both set"},
      {{{"KLXR_VM_VERSION", std::string(130, 'v')}}, "KLXR_VM_VERSION: the text has more"},
      {{{"KLXR_VM_CLOCK", "fast"}}, "KLXR_VM_CLOCK: 'fast' is neither"},
      {{{"KLXR_VM_TRANSCRIPT", "/nowhere/at/all.txt"}}, "cannot append to the transcript file"},
      {{{"KLXR_VM_SCENARIO", "/nowhere/bus.scenario"}}, "cannot read the scenario file"},
      {{{"KLXR_VM_SCENARIO", SampleFile("mixed.tlg")}, {"KLXR_VM_RECORDS", "3"}},
       "KLXR_VM_RECORDS cannot be combined with KLXR_VM_SCENARIO"},
  };
  for (const Case& c : cases) {
    const ParsedConfig parsed = ConfigFromEnvironment(Environment(c.variables));
    ASSERT_FALSE(parsed.Ok()) << c.error;
    bool found = false;
    for (const std::string& error : parsed.errors) {
      found = found || error.find(c.error) != std::string::npos;
    }
    EXPECT_TRUE(found) << c.error << "\n  gave: " << parsed.errors.front();
  }
}

}  // namespace
}  // namespace klxr::vm
