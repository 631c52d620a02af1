// What went over the wire and which driver calls were made, with their times, for tests and demos.
// The transcript has one entry per FT_Write (bytes to the meter) and one per meter reply (bytes
// from the meter, with the time each byte reached the host). The call log has one entry per driver
// call, with its arguments and outcome ("FT_Open(0)", "FT_Read(100) -> 68").
#pragma once

#include <cstddef>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/d2xx_api.h"
#include "virtual-meter/clock.h"
#include "virtual-meter/meter_wire.h"

namespace klxr::vm {

enum class Direction { kToMeter, kFromMeter };

struct TranscriptEntry {
  Direction direction = Direction::kToMeter;
  int adapter = 0;    // the adapter's place in the bus configuration
  Micros timeUs = 0;  // when the host wrote the bytes, or when the meter started sending them
  Bytes bytes;
  // From the meter: when each byte reached the host's buffer; -1 until then, and for a byte
  // discarded by a purge before it arrived.
  std::vector<Micros> arrivalUs;
};

// "02 03 4C 4F 47 1A"
std::string HexBytes(std::span<const std::uint8_t> bytes);
// "-> 02 03 4C 4F 47 1A" or "<- 06"
std::string RenderEntry(const TranscriptEntry& entry);
// "    200.522 ms  #0  <- 06": the line written to a transcript file.
std::string RenderTimedEntry(const TranscriptEntry& entry);
// Every entry rendered without times, one string each.
std::vector<std::string> RenderTranscript(const std::vector<TranscriptEntry>& entries);

class Transcript {
 public:
  static constexpr std::size_t kNotKept = static_cast<std::size_t>(-1);

  // With a path, every entry is also appended to that file as a text line when it is made. With
  // keepEntries false nothing stays in memory: Entries() is always empty.
  explicit Transcript(const std::string& path = {}, bool keepEntries = true);

  // Returns the entry's place for SetArrival; kNotKept when entries are not kept.
  std::size_t Add(Direction direction, int adapter, Micros timeUs, Bytes bytes);
  // Notes when a byte of a reply reached the host; nothing for an entry that is not kept.
  void SetArrival(std::size_t entry, std::size_t offset, Micros timeUs);
  const std::vector<TranscriptEntry>& Entries() const { return entries_; }
  void Clear() { entries_.clear(); }

 private:
  std::vector<TranscriptEntry> entries_;
  std::ofstream file_;
  bool keepEntries_;
};

struct CallRecord {
  std::string call;    // "FT_Read(100)"
  std::string result;  // what the call handed back when it succeeded: "68"; may be empty
  d2xx::FT_STATUS status = d2xx::FT_OK;
  int adapter = -1;   // the adapter addressed, -1 when none
  Micros timeUs = 0;  // when the call was made
};

// "FT_OK", "FT_IO_ERROR", ...
std::string_view StatusName(d2xx::FT_STATUS status);
// "FT_Read(100) -> 68", "FT_Open(3) -> FT_DEVICE_NOT_FOUND", "FT_ClrDtr".
std::string RenderCall(const CallRecord& record);
std::vector<std::string> RenderCalls(const std::vector<CallRecord>& records);

}  // namespace klxr::vm
