// One record's measurements as numbers, for the survey archive, comparisons and the exports made
// for analysis: levels in dBuV and ratios in dB as numbers, the meter's range marks as flags of
// their own, and the texts as the record stores them (8-bit characters).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/log_image.h"

namespace klxr {

// A level or a ratio. No value when the meter gave none (both range bits set) or the record's kind
// does not carry it. With a range mark the true value is above (over) or below (under) the number.
struct Measurement {
  std::optional<double> value;
  bool overRange = false;
  bool underRange = false;
  bool operator==(const Measurement&) const = default;
};

struct RecordValues {
  int slot = 0;         // the record's place in the log, from 0
  char kind = 0;        // 'A' analogue, 'D' or 'V' digital
  int sequence = 0;     // 0 to 65535
  int subSequence = 0;  // -128 to 127
  std::uint32_t frequencyKhz = 0;
  std::string channel;         // at most 10 characters
  std::string standard;        // at most 10 characters (the record's specification field)
  std::string multiplex;       // at most 12 characters
  int quality = 0;             // 0 to 7, the status byte's reception quality
  std::string status;          // digital: "FAIL", "POOR", "MARGINAL", "PASS" or ""; else ""
  std::string modulation;      // digital, when the meter locked: the modulation's name; else ""
  Measurement level;           // dBuV: the video carrier (analogue) or the multiplex's power
  Measurement audioLevel;      // dBuV: the audio carrier (analogue only)
  Measurement carrierToNoise;  // dB (analogue only)
  Measurement mer;             // dB (digital only)
  std::optional<double> ber;   // digital only: error count x 1e-8
  bool operator==(const RecordValues&) const = default;
};

// A power word (tenths of dBm) as dBuV in a 75-ohm system.
Measurement PowerInDbuv(std::uint16_t word);
// A ratio word (tenths of dB) in dB.
Measurement RatioInDb(std::uint16_t word);

// The values of the record in that slot; nothing when the slot holds no counted record.
std::optional<RecordValues> ValuesOfSlot(const LogImage& image, int slot);

// The values of every counted record, in log order.
std::vector<RecordValues> RecordValuesOf(const LogImage& image);

}  // namespace klxr
