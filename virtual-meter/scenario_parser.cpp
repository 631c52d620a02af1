#include "virtual-meter/scenario_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "virtual-meter/meter_records.h"

namespace klxr::vm {
namespace {

using Words = std::vector<std::string>;

// Splits a line into words; a word in double quotes may hold blanks, \" and \\.
std::optional<Words> SplitWords(std::string_view line) {
  Words words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
          ++i;
        }
        word += line[i];
      }
      if (i >= line.size()) {
        return std::nullopt;
      }
      ++i;
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
        word += line[i++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::optional<FaultKind> FaultKindNamed(std::string_view name, std::size_t& arguments) {
  struct Named {
    std::string_view name;
    FaultKind kind;
    std::size_t arguments;
  };
  static constexpr Named kKinds[] = {
      {"silence", FaultKind::kSilence, 0},
      {"nak", FaultKind::kNak, 0},
      {"bad-checksum", FaultKind::kBadChecksum, 0},
      {"garble", FaultKind::kGarbledFirst, 0},
      {"short", FaultKind::kShortPayload, 1},
      {"split", FaultKind::kSplit, 2},
      {"slow", FaultKind::kSlow, 1},
  };
  for (const Named& named : kKinds) {
    if (named.name == name) {
      arguments = named.arguments;
      return named.kind;
    }
  }
  return std::nullopt;
}

// "every", "3", "3-5" or "3+".
bool ParseOccurrences(std::string_view text, FaultRule& rule) {
  if (text == "every") {
    return true;
  }
  if (!text.empty() && text.back() == '+') {
    const auto first = ParseWholeNumber(text.substr(0, text.size() - 1), 1, INT_MAX);
    rule.firstOccurrence = first ? static_cast<int>(*first) : 0;
    return first.has_value();
  }
  const std::size_t dash = text.find('-');
  const auto first = ParseWholeNumber(text.substr(0, dash), 1, INT_MAX);
  const auto last =
      dash == std::string_view::npos ? first : ParseWholeNumber(text.substr(dash + 1), 1, INT_MAX);
  if (!first || !last || *last < *first) {
    return false;
  }
  rule.firstOccurrence = static_cast<int>(*first);
  rule.lastOccurrence = static_cast<int>(*last);
  return true;
}

// A device as the lines describe it, completed when the next device starts or the text ends.
struct DeviceDraft {
  AdapterConfig adapter;
  int line = 0;
  bool noMeter = false;
  int firstMeterLine = 0;  // the first line that set up the meter, 0 when none
  std::string logPath;
  std::optional<int> recordCount;
  unsigned seed = 1;
};

class Parser {
 public:
  explicit Parser(std::string baseFolder) : baseFolder_(std::move(baseFolder)) {}

  ParsedConfig Parse(std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      ++line_;
      ParseLine(text.substr(start, end - start));
      start = end + 1;
    }
    FinishDevice();
    return std::move(result_);
  }

 private:
  void Error(const std::string& message) {
    result_.errors.push_back("line " + std::to_string(line_) + ": " + message);
  }

  std::string Resolve(const std::string& path) const {
    if (baseFolder_.empty() || std::filesystem::path(path).is_absolute()) {
      return path;
    }
    return (std::filesystem::path(baseFolder_) / path).string();
  }

  void ParseLine(std::string_view line) {
    const std::optional<Words> words = SplitWords(line);
    if (!words) {
      return Error("a text in double quotes is not closed");
    }
    if (words->empty() || (*words)[0][0] == '#') {
      return;
    }
    const std::string& keyword = (*words)[0];
    if (keyword == "clock") {
      return ParseClock(*words);
    }
    if (keyword == "transcript") {
      return words->size() == 2 ? void(result_.config.transcriptPath = Resolve((*words)[1]))
                                : Error("transcript needs a file name");
    }
    if (keyword == "device") {
      return StartDevice(*words);
    }
    if (!device_) {
      return Error("'" + keyword + "' belongs to a device: put a 'device' line first");
    }
    ParseDeviceLine(keyword, Words(words->begin() + 1, words->end()));
  }

  void ParseClock(const Words& words) {
    result_.clockGiven = true;
    if (words.size() == 2 && words[1] == "virtual") {
      result_.config.clock = ClockKind::kVirtual;
    } else if (words.size() == 2 && words[1] == "real") {
      result_.config.clock = ClockKind::kReal;
    } else {
      Error("clock is 'virtual' or 'real'");
    }
  }

  void StartDevice(const Words& words) {
    FinishDevice();
    const int serial = static_cast<int>(result_.config.adapters.size());
    device_.emplace();
    device_->line = line_;
    device_->seed = static_cast<unsigned>(serial) + 1;
    const std::string preset = words.size() > 1 ? words[1] : "meter-lead";
    if (preset == "meter-lead") {
      device_->adapter.eeprom = MeterLeadEeprom(serial);
    } else if (preset == "factory-default") {
      device_->adapter.eeprom = FactoryDefaultEeprom(serial);
    } else {
      Error("unknown device preset '" + preset + "' (meter-lead or factory-default)");
    }
    if (words.size() > 2) {
      Error("device takes one preset name");
    }
  }

  void ParseDeviceLine(const std::string& keyword, const Words& args) {
    DeviceDraft& device = *device_;
    if (keyword == "eeprom") {
      if (args.size() != 2) {
        return Error("eeprom needs a field name and a value");
      }
      if (auto error = SetEepromField(device.adapter.eeprom, args[0], args[1])) {
        Error(*error);
      }
    } else if (keyword == "in-use" && args.empty()) {
      device.adapter.inUseElsewhere = true;
    } else if (keyword == "no-permission" && args.empty()) {
      device.adapter.openNotPermitted = true;
    } else if (keyword == "no-meter" && args.empty()) {
      device.noMeter = true;
    } else if (keyword == "vanish") {
      ParseVanish(args);
    } else if (keyword == "usb-latency-ms" && args.size() == 1) {
      const auto latency = ParseMilliseconds(args[0]);
      latency&&* latency >= 1000 ? void(device.adapter.usb.latencyUs = *latency)
                                 : Error("usb-latency-ms needs a time of at least 1 ms");
    } else if (keyword == "usb-packet-size" && args.size() == 1) {
      const auto size = ParseWholeNumber(args[0], 3, 4096);
      size ? void(device.adapter.usb.packetSize = static_cast<int>(*size))
           : Error("usb-packet-size needs a number of bytes from 3 to 4096");
    } else {
      ParseMeterLine(keyword, args);
    }
  }

  void ParseVanish(const Words& args) {
    VanishRule& rule = device_->adapter.vanish;
    const auto number = args.size() == 2 ? ParseWholeNumber(args[1], 0, INT_MAX) : std::nullopt;
    if (number && args[0] == "after-calls") {
      rule = {VanishTrigger::kAfterCalls, *number, 0};
    } else if (number && *number > 0 && args[0] == "after-replies") {
      rule = {VanishTrigger::kAfterReplies, *number, 0};
    } else if (args.size() == 2 && args[0] == "at-ms" && ParseMilliseconds(args[1])) {
      rule = {VanishTrigger::kAtTime, 0, *ParseMilliseconds(args[1])};
    } else {
      Error("vanish needs 'after-calls N', 'after-replies N' (N at least 1) or 'at-ms TIME'");
    }
  }

  void ParseMeterLine(const std::string& keyword, const Words& args) {
    static constexpr std::string_view kMeterKeywords[] = {"log",           "records",  "version",
                                                          "processing-ms", "erase-ms", "fault"};
    if (std::find(std::begin(kMeterKeywords), std::end(kMeterKeywords), keyword) ==
        std::end(kMeterKeywords)) {
      return Error("unknown setting '" + keyword + "', or a wrong number of values");
    }
    DeviceDraft& device = *device_;
    MeterConfig& meter = *device.adapter.meter;
    if (device.firstMeterLine == 0) {
      device.firstMeterLine = line_;
    }
    if (keyword == "log" && args.size() == 1) {
      device.logPath = Resolve(args[0]);
    } else if (keyword == "records" && (args.size() == 1 || args.size() == 2)) {
      const auto count = ParseWholeNumber(args[0], 0, kSlotCount);
      const auto seed = args.size() == 2 ? ParseWholeNumber(args[1], 0, UINT_MAX) : 1LL;
      if (!count || !seed) {
        return Error("records needs a count from 0 to 1568 and may take a seed number");
      }
      device.recordCount = static_cast<int>(*count);
      device.seed = args.size() == 2 ? static_cast<unsigned>(*seed) : device.seed;
    } else if (keyword == "version" && args.size() == 1) {
      args[0].size() <= kMaxVersionLength
          ? void(meter.versionText = args[0])
          : Error("the version text has more than " + std::to_string(kMaxVersionLength) + " bytes");
    } else if ((keyword == "processing-ms" || keyword == "erase-ms") && args.size() == 1) {
      const auto time = ParseMilliseconds(args[0]);
      if (!time) {
        return Error(keyword + " needs a time in milliseconds");
      }
      (keyword == "erase-ms" ? meter.eraseUs : meter.processingUs) = *time;
    } else if (keyword == "fault") {
      ParseFault(args);
    } else {
      Error("wrong number of values for '" + keyword + "'");
    }
  }

  void ParseFault(const Words& args) {
    FaultRule rule;
    std::size_t arguments = 0;
    const std::optional<FaultKind> kind =
        args.size() >= 3 ? FaultKindNamed(args[2], arguments) : std::nullopt;
    if (args.size() < 3 || !ParseOccurrences(args[1], rule) || !kind ||
        args.size() != 3 + arguments) {
      return Error(
          "fault needs COMMAND WHEN KIND: WHEN is every, N, N-M or N+; KIND is silence, nak, "
          "bad-checksum, garble, short N, split N MS or slow MS");
    }
    rule.command = args[0];
    rule.kind = *kind;
    if (rule.kind == FaultKind::kShortPayload) {
      const auto bytes = ParseWholeNumber(args[3], 0, 127);
      rule.payloadBytes = bytes ? static_cast<int>(*bytes) : -1;
    } else if (rule.kind == FaultKind::kSplit) {
      const auto bytes = ParseWholeNumber(args[3], 1, 255);
      const auto gap = ParseMilliseconds(args[4]);
      rule.splitAfterBytes = bytes ? static_cast<int>(*bytes) : -1;
      rule.delayUs = gap.value_or(-1);
    } else if (rule.kind == FaultKind::kSlow) {
      rule.delayUs = ParseMilliseconds(args[3]).value_or(-1);
    }
    if (rule.payloadBytes < 0 || rule.splitAfterBytes < 0 || rule.delayUs < 0) {
      return Error(
          "fault values: short takes 0 to 127 bytes, split 1 to 255 bytes and a time, "
          "slow a time in milliseconds");
    }
    device_->adapter.meter->faults.push_back(std::move(rule));
  }

  void FinishDevice() {
    if (!device_) {
      return;
    }
    DeviceDraft& device = *device_;
    const int line = line_;
    line_ = device.line;
    if (device.noMeter) {
      device.adapter.meter.reset();
      if (device.firstMeterLine != 0) {
        Error("the device has 'no-meter' but line " + std::to_string(device.firstMeterLine) +
              " sets up its meter");
      }
    } else if (!device.logPath.empty() && device.recordCount) {
      Error("the device's meter has both 'log' and 'records'");
    } else if (!device.logPath.empty()) {
      LoadedRecords loaded = LoadTlgRecords(device.logPath);
      loaded.error.empty() ? void(device.adapter.meter->records = std::move(loaded.records))
                           : Error(loaded.error);
    } else {
      device.adapter.meter->records =
          GeneratedRecords(device.recordCount.value_or(kDefaultRecordCount), device.seed);
    }
    line_ = line;
    result_.config.adapters.push_back(std::move(device.adapter));
    device_.reset();
  }

  std::string baseFolder_;
  ParsedConfig result_;
  std::optional<DeviceDraft> device_;
  int line_ = 0;
};

}  // namespace

std::optional<long long> ParseWholeNumber(std::string_view text, long long low, long long high) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
      value > high) {
    return std::nullopt;
  }
  return value;
}

std::optional<Micros> ParseMilliseconds(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value) || value < 0 || value > 1e9) {
    return std::nullopt;
  }
  return static_cast<Micros>(std::llround(value * 1000));
}

ParsedConfig ParseScenario(std::string_view text, const std::string& baseFolder) {
  return Parser(baseFolder).Parse(text);
}

ParsedConfig LoadScenarioFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    ParsedConfig failed;
    failed.errors.push_back("cannot read the scenario file '" + path + "'");
    return failed;
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return ParseScenario(text, std::filesystem::path(path).parent_path().string());
}

}  // namespace klxr::vm
