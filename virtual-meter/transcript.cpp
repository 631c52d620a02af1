#include "virtual-meter/transcript.h"

#include <array>
#include <cstdio>

namespace klxr::vm {

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (std::uint8_t byte : bytes) {
    if (!text.empty()) {
      text += ' ';
    }
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

std::string RenderEntry(const TranscriptEntry& entry) {
  return (entry.direction == Direction::kToMeter ? "-> " : "<- ") + HexBytes(entry.bytes);
}

std::string RenderTimedEntry(const TranscriptEntry& entry) {
  char prefix[48];
  std::snprintf(prefix, sizeof prefix, "%11.3f ms  #%d  ", static_cast<double>(entry.timeUs) / 1000,
                entry.adapter);
  return prefix + RenderEntry(entry);
}

std::vector<std::string> RenderTranscript(const std::vector<TranscriptEntry>& entries) {
  std::vector<std::string> lines;
  lines.reserve(entries.size());
  for (const TranscriptEntry& entry : entries) {
    lines.push_back(RenderEntry(entry));
  }
  return lines;
}

Transcript::Transcript(const std::string& path, bool keepEntries) : keepEntries_(keepEntries) {
  if (!path.empty()) {
    file_.open(path, std::ios::app);
  }
}

std::size_t Transcript::Add(Direction direction, int adapter, Micros timeUs, Bytes bytes) {
  TranscriptEntry entry{direction, adapter, timeUs, std::move(bytes), {}};
  if (direction == Direction::kFromMeter) {
    entry.arrivalUs.assign(entry.bytes.size(), -1);
  }
  if (file_.is_open()) {
    file_ << RenderTimedEntry(entry) << '\n' << std::flush;
  }
  if (!keepEntries_) {
    return kNotKept;
  }
  entries_.push_back(std::move(entry));
  return entries_.size() - 1;
}

void Transcript::SetArrival(std::size_t entry, std::size_t offset, Micros timeUs) {
  if (entry < entries_.size() && offset < entries_[entry].arrivalUs.size()) {
    entries_[entry].arrivalUs[offset] = timeUs;
  }
}

std::string_view StatusName(d2xx::FT_STATUS status) {
  return d2xx::StatusName(status);
}

std::string RenderCall(const CallRecord& record) {
  if (record.status != d2xx::FT_OK) {
    return record.call + " -> " + std::string(StatusName(record.status));
  }
  return record.result.empty() ? record.call : record.call + " -> " + record.result;
}

std::vector<std::string> RenderCalls(const std::vector<CallRecord>& records) {
  std::vector<std::string> lines;
  lines.reserve(records.size());
  for (const CallRecord& record : records) {
    lines.push_back(RenderCall(record));
  }
  return lines;
}

}  // namespace klxr::vm
