// The log image: the one in-memory copy of the meter's measurement log, 1568 slots of 64 bytes,
// each slot one record exactly as the meter sent it. A .tlg file is these bytes and nothing else.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "log/view_command.h"

namespace klxr {

inline constexpr int kSlotCount = 1568;
inline constexpr int kRecordSize = 64;
inline constexpr std::size_t kLogImageSize = 100352;
static_assert(kLogImageSize == std::size_t{kSlotCount} * kRecordSize);

struct LogImage {
  std::array<std::uint8_t, kLogImageSize> bytes{};  // all zero on construction

  // The 64 bytes of slot index (0 to kSlotCount - 1): bytes index * 64 to index * 64 + 63.
  std::span<std::uint8_t, kRecordSize> Slot(int index);
  std::span<const std::uint8_t, kRecordSize> Slot(int index) const;

  // Sets every byte to zero: no records.
  void Clear();
};

// True for the record kinds that count as log entries: 'A', 'D' and 'V'.
bool IsCountedKind(std::uint8_t kind);

// Counts the records: the run of slots from slot 0 whose kind is 'A', 'D' or 'V'; the first slot of
// any other kind (an empty slot, a kind 'E' record) ends it. With 0 records grays the window's View
// command (a null window is left alone).
int CountRecords(const LogImage& image, ViewCommand* window);

}  // namespace klxr
