// The meter behind a lead: it takes the host's bytes as they arrive, answers each complete command
// frame and keeps its log and its place in it.
//   "LOG"     ACK; starts a log conversation at the first record
//   "GET"     ACK and a frame carrying the next 64-byte record, or ACK and the 3-byte payload "END"
//             when no record is left; NAK outside a log conversation
//   "END"     no answer; ends the log conversation
//   "ERASE"   after the erase time, ACK and a frame carrying "SUCCESS"; the log is then empty
//   "VERSION" ACK and a frame carrying the version text
// Any other word, and a frame with a bad checksum, is answered with NAK. The faults of the
// configuration change or suppress answers per command word and occurrence.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_wire.h"

namespace klxr::vm {

inline constexpr std::string_view kEndOfLogPayload = "END";
inline constexpr std::string_view kEraseConfirmation = "SUCCESS";

// One answer of the meter, ready for the wire.
struct ReplyPlan {
  Bytes bytes;
  Micros delayUs = 0;          // from the command's last byte to the reply's first byte
  std::size_t splitAfter = 0;  // when not 0: the bytes from this index on follow after a gap
  Micros splitGapUs = 0;
};

class MeterModel {
 public:
  explicit MeterModel(MeterConfig config);

  // Takes one byte from the line; returns the answer when the byte completes a command.
  std::optional<ReplyPlan> Receive(std::uint8_t byte);

  std::size_t RecordCount() const { return config_.records.size(); }
  std::size_t NextRecord() const { return nextRecord_; }
  bool InLogConversation() const { return inLog_; }
  const std::string& VersionText() const { return config_.versionText; }
  // How many frames carrying `word` the meter has received.
  int Occurrences(std::string_view word) const;

 private:
  std::optional<ReplyPlan> Answer(const Bytes& payload);
  // Carries out a command that no fault rejected. Its answer is ACK and a frame carrying the
  // payload (a bare ACK without payload), NAK when refused, or nothing.
  struct Outcome {
    bool answers = true;
    bool refused = false;
    std::optional<Bytes> payload;
    Micros delayUs = 0;
  };
  Outcome Perform(std::string_view word);

  MeterConfig config_;
  CommandFrameReader reader_;
  std::size_t nextRecord_ = 0;
  bool inLog_ = false;
  std::map<std::string, int, std::less<>> occurrences_;
};

}  // namespace klxr::vm
