// What a virtual bus holds: its adapters, each with its EEPROM, its USB timing, whether it is in
// use elsewhere or vanishes, and the meter behind it (or none) with its log, version text, timing
// and the faults it injects. The scenario file and the environment both produce a BusConfig; tests
// build one directly.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "virtual-meter/clock.h"
#include "virtual-meter/eeprom_contents.h"

namespace klxr::vm {

// One 64-byte log record as the meter sends it.
using RecordBytes = std::array<std::uint8_t, 64>;

inline constexpr std::string_view kDefaultVersionText = "KLXR V2.31 S/N 104512";
// The longest version text a reply frame can carry.
inline constexpr std::size_t kMaxVersionLength = 127;

enum class FaultKind {
  kSilence,       // no reply, and the command is not taken
  kNak,           // NAK instead of the reply, and the command is not taken
  kBadChecksum,   // the reply frame's checksum byte is wrong (the sum, not its complement)
  kSplit,         // the first `splitAfterBytes` bytes, then the rest after `delayUs`
  kShortPayload,  // the reply frame carries only its first `payloadBytes` payload bytes
  kGarbledFirst,  // the first byte of the reply has its top bit flipped (ACK 0x06 becomes 0x86)
  kSlow,          // the meter answers `delayUs` later than usual
};

// A fault injected into the meter's answers to one command word, for its occurrences from
// `firstOccurrence` to `lastOccurrence` (counted from 1 per command word since the bus started).
struct FaultRule {
  std::string command;  // "LOG", "GET", "END", "ERASE", "VERSION"
  int firstOccurrence = 1;
  int lastOccurrence = INT_MAX;
  FaultKind kind = FaultKind::kSilence;
  int splitAfterBytes = 0;
  int payloadBytes = 0;
  Micros delayUs = 0;

  bool Matches(std::string_view word, int occurrence) const {
    return word == command && occurrence >= firstOccurrence && occurrence <= lastOccurrence;
  }
};

struct MeterConfig {
  std::vector<RecordBytes> records;  // served from the first; erased by "ERASE"
  std::string versionText{kDefaultVersionText};
  Micros processingUs = 500;   // from a command's last byte to the first byte of its answer
  Micros eraseUs = 1'500'000;  // what "ERASE" takes before it answers
  std::vector<FaultRule> faults;
};

enum class VanishTrigger { kNever, kAfterCalls, kAfterReplies, kAtTime };

// When an adapter is unplugged on its own: after `count` driver calls addressed to it, after its
// meter has sent `count` replies (once the last of them has reached the host), or at `atUs`.
struct VanishRule {
  VanishTrigger trigger = VanishTrigger::kNever;
  std::int64_t count = 0;
  Micros atUs = 0;
};

struct UsbTiming {
  int packetSize = 64;       // bytes per USB packet, 2 of them status bytes
  Micros latencyUs = 16000;  // the latency timer
};

struct AdapterConfig {
  EepromContents eeprom = MeterLeadEeprom();
  bool inUseElsewhere = false;                       // another program holds it: FT_Open fails
  std::optional<MeterConfig> meter = MeterConfig{};  // none: a silent device that is no meter
  // The user may not open it: FT_Open fails as the open driver's does then (kOpenNotPermitted).
  bool openNotPermitted = false;
  UsbTiming usb;
  VanishRule vanish;
};

struct BusConfig {
  std::vector<AdapterConfig> adapters;
  ClockKind clock = ClockKind::kVirtual;
  // A virtual clock that also counts the real time between driver calls (the loadable library).
  bool clockCountsRealTimeBetweenCalls = false;
  // A file to which the transcript is appended as text lines as it happens; empty for none.
  std::string transcriptPath;
  // Whether the transcript and the call log are also kept in memory, for the bus's owner to read
  // (tests do). The loadable library keeps neither: nobody reads them there, and a long demo
  // would hold every call and every reply of its whole run.
  bool keepLogs = true;
};

// The common case: one meter lead with a meter holding `records`.
BusConfig OneMeter(std::vector<RecordBytes> records);

}  // namespace klxr::vm
