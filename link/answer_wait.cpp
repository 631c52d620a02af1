#include "link/answer_wait.h"

#include <algorithm>
#include <array>

#include "link/meter_link.h"

namespace klxr {
namespace {

constexpr std::uint32_t kPollPauseMs = 1;

}  // namespace

CollectedAnswer CollectAnswerFast(ComAccess& port, std::span<std::uint8_t> area,
                                  std::int64_t allowedUs,
                                  const std::function<bool(std::size_t count)>& enough,
                                  const SleepFunction& sleep, const ClockFunction& now) {
  CollectedAnswer collected;
  std::array<std::uint8_t, 128> readArea{};
  const std::int64_t start = now();
  while (!enough(collected.count)) {
    if (port.QueueStatus() != d2xx::FT_OK) {
      collected.readFailed = true;
      break;
    }
    const std::size_t waiting = std::min<std::size_t>(port.BytesWaiting, kReadRequestSize);
    if (waiting > 0) {
      if (port.Read(readArea.data(), static_cast<d2xx::DWORD>(waiting)) != d2xx::FT_OK) {
        collected.readFailed = true;
        break;
      }
      const std::size_t received = BytesReceived(port, waiting);
      AppendAsString(area, collected.count, std::span(readArea.data(), received));
      collected.count += received;
      if (received > 0) {
        continue;
      }
    }
    if (now() - start >= allowedUs) {
      break;
    }
    sleep(kPollPauseMs);
  }
  return collected;
}

}  // namespace klxr
