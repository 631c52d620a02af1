// The scenario file: a small line format describing a virtual bus (see README.md for the full
// list). One setting a line, words separated by blanks, texts with blanks in double quotes, '#'
// starts a comment line. A "device" line starts an adapter; the lines after it set it up.
//
//   clock virtual
//   device meter-lead
//     records 120 7
//     version "KLXR V2.31 S/N 104512"
//     fault GET 3 split 10 40
//   device factory-default
//     no-meter
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "virtual-meter/bus_config.h"

namespace klxr::vm {

// A device whose meter has no "log" or "records" line holds this many generated records.
inline constexpr int kDefaultRecordCount = 100;

struct ParsedConfig {
  BusConfig config;
  bool clockGiven = false;          // a "clock" line chose the clock
  std::vector<std::string> errors;  // "line 7: ...", in order; empty when the input was good
  bool Ok() const { return errors.empty(); }
};

// Parses scenario text. Relative file names in it are taken from `baseFolder`.
ParsedConfig ParseScenario(std::string_view text, const std::string& baseFolder = {});
// Reads and parses a scenario file; its relative file names are taken from its own folder.
ParsedConfig LoadScenarioFile(const std::string& path);

// Parsing helpers shared with the environment: a whole decimal number within [low, high], and a
// time in milliseconds (decimals allowed, not negative) as microseconds. Nothing when malformed.
std::optional<long long> ParseWholeNumber(std::string_view text, long long low, long long high);
std::optional<Micros> ParseMilliseconds(std::string_view text);

}  // namespace klxr::vm
