#include "log/log_image.h"

#include <algorithm>
#include <cassert>

#include "log/record_layout.h"

namespace klxr {

std::span<std::uint8_t, kRecordSize> LogImage::Slot(int index) {
  assert(index >= 0 && index < kSlotCount);
  return std::span<std::uint8_t, kRecordSize>(bytes.data() + std::size_t(index) * kRecordSize,
                                              kRecordSize);
}

std::span<const std::uint8_t, kRecordSize> LogImage::Slot(int index) const {
  assert(index >= 0 && index < kSlotCount);
  return std::span<const std::uint8_t, kRecordSize>(bytes.data() + std::size_t(index) * kRecordSize,
                                                    kRecordSize);
}

void LogImage::Clear() {
  std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
}

bool IsCountedKind(std::uint8_t kind) {
  return kind == layout::kKindAnalogue || kind == layout::kKindDigital ||
         kind == layout::kKindDigitalOther;
}

int CountRecords(const LogImage& image, ViewCommand* window) {
  int count = 0;
  while (count < kSlotCount && IsCountedKind(image.Slot(count)[layout::kKind])) {
    ++count;
  }
  if (count == 0 && window != nullptr) {
    window->SetViewEnabled(false);
  }
  return count;
}

}  // namespace klxr
