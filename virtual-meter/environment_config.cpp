#include "virtual-meter/environment_config.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "virtual-meter/meter_records.h"

namespace klxr::vm {
namespace {

constexpr const char* kDeviceVariables[] = {"KLXR_VM_DEVICES", "KLXR_VM_LOG", "KLXR_VM_RECORDS",
                                            "KLXR_VM_VERSION"};

std::optional<AdapterConfig> DeviceOfKind(std::string_view kind, int serial) {
  AdapterConfig adapter;
  adapter.eeprom = MeterLeadEeprom(serial);
  if (kind == "factory") {
    adapter.eeprom = FactoryDefaultEeprom(serial);
  } else if (kind == "silent") {
    adapter.meter.reset();
  } else if (kind == "in-use") {
    adapter.inUseElsewhere = true;
  } else if (kind == "no-permission") {
    adapter.openNotPermitted = true;
  } else if (kind != "meter") {
    return std::nullopt;
  }
  return adapter;
}

void AddDevices(const std::string& devices, ParsedConfig& result) {
  if (const auto count = ParseWholeNumber(devices, 0, 64)) {
    for (int serial = 0; serial < *count; ++serial) {
      result.config.adapters.push_back(*DeviceOfKind("meter", serial));
    }
    return;
  }
  std::size_t start = 0;
  while (start <= devices.size()) {
    const std::size_t end = std::min(devices.find(',', start), devices.size());
    const std::string kind = devices.substr(start, end - start);
    const int serial = static_cast<int>(result.config.adapters.size());
    if (std::optional<AdapterConfig> adapter = DeviceOfKind(kind, serial)) {
      result.config.adapters.push_back(std::move(*adapter));
    } else {
      result.errors.push_back("KLXR_VM_DEVICES: unknown device kind '" + kind +
                              "' (a count, or a comma list of meter, factory, silent, in-use, "
                              "no-permission)");
    }
    start = end + 1;
  }
}

// The meters' log, version and device list from the variables for the common cases.
void ConfigureDevices(const EnvironmentLookup& lookup, ParsedConfig& result) {
  AddDevices(lookup("KLXR_VM_DEVICES").value_or("1"), result);
  const std::optional<std::string> logPath = lookup("KLXR_VM_LOG");
  const std::optional<std::string> recordText = lookup("KLXR_VM_RECORDS");
  const std::optional<std::string> version = lookup("KLXR_VM_VERSION");
  std::vector<RecordBytes> records;
  if (logPath && recordText) {
    result.errors.push_back("KLXR_VM_LOG and KLXR_VM_RECORDS are both set: choose one");
  } else if (logPath) {
    LoadedRecords loaded = LoadTlgRecords(*logPath);
    if (!loaded.error.empty()) {
      result.errors.push_back("KLXR_VM_LOG: " + loaded.error);
    }
    records = std::move(loaded.records);
  } else {
    const auto count = ParseWholeNumber(recordText.value_or("100"), 0, kSlotCount);
    if (!count) {
      result.errors.push_back("KLXR_VM_RECORDS: '" + *recordText +
                              "' is not a count from 0 to 1568");
    }
    records = GeneratedRecords(static_cast<int>(count.value_or(0)));
  }
  if (version && version->size() > kMaxVersionLength) {
    result.errors.push_back("KLXR_VM_VERSION: the text has more than " +
                            std::to_string(kMaxVersionLength) + " bytes");
  }
  for (AdapterConfig& adapter : result.config.adapters) {
    if (adapter.meter) {
      adapter.meter->records = records;
      adapter.meter->versionText = version.value_or(std::string(kDefaultVersionText));
    }
  }
}

}  // namespace

std::optional<std::string> ProcessEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

EnvironmentLookup WithFilesFrom(std::string folder, EnvironmentLookup lookup) {
  return [folder = std::move(folder),
          lookup = std::move(lookup)](const char* name) -> std::optional<std::string> {
    std::optional<std::string> value = lookup(name);
    const std::string_view variable(name);
    const bool namesAFile = variable == "KLXR_VM_SCENARIO" || variable == "KLXR_VM_LOG" ||
                            variable == "KLXR_VM_TRANSCRIPT";
    if (namesAFile && value && !value->empty() && !folder.empty() &&
        std::filesystem::path(*value).is_relative()) {
      value = (std::filesystem::path(folder) / *value).string();
    }
    return value;
  };
}

ParsedConfig ConfigFromEnvironment(const EnvironmentLookup& lookup) {
  ParsedConfig result;
  result.config.clock = ClockKind::kReal;
  if (const std::optional<std::string> scenario = lookup("KLXR_VM_SCENARIO")) {
    result = LoadScenarioFile(*scenario);
    if (!result.clockGiven) {
      result.config.clock = ClockKind::kReal;
    }
    for (std::string& error : result.errors) {
      error = "KLXR_VM_SCENARIO " + *scenario + ", " + error;
    }
    for (const char* variable : kDeviceVariables) {
      if (lookup(variable)) {
        result.errors.push_back(std::string(variable) +
                                " cannot be combined with KLXR_VM_SCENARIO: describe the devices "
                                "in the scenario file");
      }
    }
  } else {
    ConfigureDevices(lookup, result);
  }
  if (const std::optional<std::string> clock = lookup("KLXR_VM_CLOCK")) {
    if (*clock == "real" || *clock == "virtual") {
      result.config.clock = *clock == "real" ? ClockKind::kReal : ClockKind::kVirtual;
    } else {
      result.errors.push_back("KLXR_VM_CLOCK: '" + *clock + "' is neither 'real' nor 'virtual'");
    }
  }
  result.config.clockCountsRealTimeBetweenCalls = true;
  if (const std::optional<std::string> transcript = lookup("KLXR_VM_TRANSCRIPT")) {
    result.config.transcriptPath = *transcript;
  }
  const std::string& path = result.config.transcriptPath;
  if (!path.empty() && !std::ofstream(path, std::ios::app).is_open()) {
    result.errors.push_back("cannot append to the transcript file '" + path + "'");
  }
  return result;
}

}  // namespace klxr::vm
