#include "virtual-meter/usb_receive_pipe.h"

#include <algorithm>
#include <utility>

namespace klxr::vm {

namespace {
constexpr std::size_t kStatusBytes = 2;
}

Micros LineTime(std::int64_t count, std::uint32_t baud, int bitsPerChar) {
  const std::int64_t bits = count * bitsPerChar * 1'000'000;
  return (bits + baud / 2) / baud;
}

UsbReceivePipe::UsbReceivePipe(UsbTiming timing, ArrivalObserver observer)
    : timing_(timing), observer_(std::move(observer)) {
  // A packet carries at least one data byte, and the timer runs for at least a microsecond.
  timing_.packetSize = std::max(timing_.packetSize, static_cast<int>(kStatusBytes) + 1);
  timing_.latencyUs = std::max<Micros>(timing_.latencyUs, 1);
}

void UsbReceivePipe::Restart(Micros now) {
  // What reached the chip before the open is gone; what the meter is still sending comes through.
  while (!waiting_.empty() && waiting_.front().entered <= now) {
    observer_(waiting_.front(), kDiscarded);
    waiting_.pop_front();
  }
  host_.clear();
  anchor_ = now;
}

void UsbReceivePipe::Push(const WireByte& byte) {
  waiting_.push_back(byte);
}

UsbReceivePipe::Packet UsbReceivePipe::NextPacket(Micros anchor, std::size_t first) const {
  const std::size_t dataPerPacket = static_cast<std::size_t>(timing_.packetSize) - kStatusBytes;
  const Micros latency = timing_.latencyUs;
  const Micros sinceAnchor = waiting_[first].entered - anchor;
  const Micros periods = std::max<Micros>(1, (sinceAnchor + latency - 1) / latency);
  const Micros timerRunsOut = anchor + periods * latency;
  const std::size_t fullAt = first + dataPerPacket - 1;
  if (fullAt < waiting_.size() && waiting_[fullAt].entered <= timerRunsOut) {
    return {waiting_[fullAt].entered, dataPerPacket};
  }
  std::size_t count = 0;
  while (first + count < waiting_.size() && waiting_[first + count].entered <= timerRunsOut) {
    ++count;
  }
  return {timerRunsOut, count};
}

void UsbReceivePipe::DeliverUntil(Micros time) {
  while (!waiting_.empty()) {
    const Packet packet = NextPacket(anchor_, 0);
    if (packet.time > time) {
      return;
    }
    for (std::size_t i = 0; i < packet.count; ++i) {
      observer_(waiting_.front(), packet.time);
      host_.push_back(waiting_.front().value);
      waiting_.pop_front();
    }
    anchor_ = packet.time;
  }
}

std::optional<Micros> UsbReceivePipe::TimeWhenAvailable(std::size_t count) const {
  std::size_t have = host_.size();
  Micros anchor = anchor_;
  std::size_t first = 0;
  while (have < count && first < waiting_.size()) {
    const Packet packet = NextPacket(anchor, first);
    have += packet.count;
    first += packet.count;
    anchor = packet.time;
  }
  if (have < count) {
    return std::nullopt;
  }
  return anchor;
}

std::optional<Micros> UsbReceivePipe::LastDeliveryTime() const {
  if (waiting_.empty()) {
    return std::nullopt;
  }
  return TimeWhenAvailable(host_.size() + waiting_.size());
}

std::size_t UsbReceivePipe::Take(std::uint8_t* out, std::size_t count) {
  const std::size_t taken = std::min(count, host_.size());
  std::copy_n(host_.begin(), taken, out);
  host_.erase(host_.begin(), host_.begin() + static_cast<std::ptrdiff_t>(taken));
  return taken;
}

void UsbReceivePipe::Purge(Micros now) {
  DeliverUntil(now);
  host_.clear();
  while (!waiting_.empty() && waiting_.front().entered <= now) {
    observer_(waiting_.front(), kDiscarded);
    waiting_.pop_front();
  }
}

void UsbReceivePipe::SetLatency(Micros latencyUs, Micros now) {
  DeliverUntil(now);
  timing_.latencyUs = std::max<Micros>(latencyUs, 1);
  anchor_ = std::max(anchor_, now);
}

}  // namespace klxr::vm
