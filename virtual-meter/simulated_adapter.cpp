#include "virtual-meter/simulated_adapter.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace klxr::vm {
namespace {

constexpr int kMeterBitsPerChar = 10;  // start, 8 data, stop
constexpr std::uint32_t kLowestBaudRate = 183;
constexpr std::uint32_t kHighestBaudRate = 3'000'000;
constexpr std::uint8_t kLowestLatencyMs = 2;
constexpr Micros kForever = std::numeric_limits<Micros>::max();

}  // namespace

SimulatedAdapter::SimulatedAdapter(int id, AdapterConfig config, Transcript& transcript)
    : id_(id),
      config_(std::move(config)),
      transcript_(transcript),
      eeprom_(config_.eeprom),
      pipe_(config_.usb,
            [&transcript](const WireByte& byte, Micros arrival) {
              transcript.SetArrival(byte.entry, byte.offset, arrival);
            }),
      enumeratedVendorId_(eeprom_.fields.VendorId),
      enumeratedProductId_(eeprom_.fields.ProductId) {
  if (config_.meter) {
    meter_.emplace(*config_.meter);
  }
}

std::optional<Micros> SimulatedAdapter::VanishTime() const {
  switch (config_.vanish.trigger) {
    case VanishTrigger::kAtTime:
      return config_.vanish.atUs;
    case VanishTrigger::kAfterReplies:
      return vanishAfterReplyAt_;
    case VanishTrigger::kNever:
    case VanishTrigger::kAfterCalls:
      break;
  }
  return std::nullopt;
}

bool SimulatedAdapter::Present(Micros now) {
  if (!attached_) {
    return false;
  }
  const std::optional<Micros> vanishAt = VanishTime();
  const bool callsUsedUp =
      config_.vanish.trigger == VanishTrigger::kAfterCalls && calls_ > config_.vanish.count;
  if (callsUsedUp || (vanishAt && now >= *vanishAt)) {
    Detach();
  }
  return attached_;
}

void SimulatedAdapter::Detach() {
  attached_ = false;
  open_ = false;
  // Unplugged, the chip loses its settings, the latency timer among them.
  pipe_.SetLatency(config_.usb.latencyUs, 0);
}

void SimulatedAdapter::Unplug() {
  attached_ = false;
  pipe_.SetLatency(config_.usb.latencyUs, 0);
}

void SimulatedAdapter::Replug() {
  pipe_.SetLatency(config_.usb.latencyUs, 0);
  attached_ = true;
  open_ = false;
  config_.vanish = VanishRule{};
}

void SimulatedAdapter::Open(Micros now) {
  open_ = true;
  baud_ = 9600;
  wordLength_ = d2xx::FT_BITS_8;
  stopBits_ = d2xx::FT_STOP_BITS_1;
  parity_ = d2xx::FT_PARITY_NONE;
  flowControl_ = d2xx::FT_FLOW_NONE;
  readTimeoutMs_ = 0;
  writeTimeoutMs_ = 0;
  hostLineFree_ = now;
  pipe_.Restart(now);
}

void SimulatedAdapter::Cycle() {
  open_ = false;
  // Re-enumeration resets the chip, and with it the latency timer.
  pipe_.SetLatency(config_.usb.latencyUs, 0);
  if (eeprom_.fields.VendorId != enumeratedVendorId_ ||
      eeprom_.fields.ProductId != enumeratedProductId_) {
    attached_ = false;
  }
}

bool SimulatedAdapter::LineMatchesMeter() const {
  // A receiver copes with a rate a few percent off its own.
  const bool rateClose = std::abs(static_cast<std::int64_t>(baud_) - kMeterBaudRate) * 100 <=
                         std::int64_t{kMeterBaudRate} * 3;
  return rateClose && wordLength_ == d2xx::FT_BITS_8 && stopBits_ == d2xx::FT_STOP_BITS_1 &&
         parity_ == d2xx::FT_PARITY_NONE;
}

int SimulatedAdapter::HostBitsPerChar() const {
  const int stop = stopBits_ == d2xx::FT_STOP_BITS_2 ? 2 : 1;
  const int parity = parity_ == d2xx::FT_PARITY_NONE ? 0 : 1;
  return 1 + wordLength_ + parity + stop;
}

void SimulatedAdapter::Write(const Bytes& bytes, Micros now) {
  const Micros start = std::max(now, hostLineFree_);
  const bool meterHears = meter_ && LineMatchesMeter();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const Micros arrived =
        start + LineTime(static_cast<std::int64_t>(i) + 1, baud_, HostBitsPerChar());
    hostLineFree_ = arrived;
    if (meterHears) {
      if (const std::optional<ReplyPlan> reply = meter_->Receive(bytes[i])) {
        ScheduleReply(*reply, arrived);
      }
    }
  }
}

void SimulatedAdapter::ScheduleReply(const ReplyPlan& plan, Micros commandEnd) {
  const Micros start = std::max(commandEnd + plan.delayUs, meterLineFree_);
  const std::size_t entry = transcript_.Add(Direction::kFromMeter, id_, start, plan.bytes);
  for (std::size_t i = 0; i < plan.bytes.size(); ++i) {
    const Micros gap = (plan.splitAfter != 0 && i >= plan.splitAfter) ? plan.splitGapUs : 0;
    const Micros entered =
        start + gap + LineTime(static_cast<std::int64_t>(i) + 1, kMeterBaudRate, kMeterBitsPerChar);
    pipe_.Push(WireByte{plan.bytes[i], entered, entry, i});
    meterLineFree_ = entered;
  }
  ++replies_;
  if (config_.vanish.trigger == VanishTrigger::kAfterReplies && replies_ == config_.vanish.count) {
    vanishAfterReplyAt_ = pipe_.LastDeliveryTime().value_or(meterLineFree_);
  }
}

SimulatedAdapter::ReadResult SimulatedAdapter::Read(std::uint8_t* out, std::size_t count,
                                                    Clock& clock) {
  const Micros now = clock.Now();
  pipe_.DeliverUntil(now);
  Micros until = now;
  if (pipe_.Available() < count) {
    const Micros deadline =
        readTimeoutMs_ == 0 ? kForever : now + Micros{readTimeoutMs_} * kMicrosPerMs;
    if (const std::optional<Micros> ready = pipe_.TimeWhenAvailable(count)) {
      until = std::max(now, std::min(*ready, deadline));
    } else if (deadline != kForever) {
      until = deadline;
    } else {
      // No time-out and never enough bytes: rather than waiting for ever, return what comes.
      until = std::max(now, pipe_.LastDeliveryTime().value_or(now));
    }
  }
  if (const std::optional<Micros> vanishAt = VanishTime(); vanishAt && *vanishAt < until) {
    clock.WaitUntil(*vanishAt);
    Detach();
    return {d2xx::FT_IO_ERROR, 0};
  }
  clock.WaitUntil(until);
  pipe_.DeliverUntil(until);
  return {d2xx::FT_OK, pipe_.Take(out, count)};
}

void SimulatedAdapter::Purge(std::uint32_t mask, Micros now) {
  // Written bytes go onto the line at once in this model, so a transmit purge finds nothing.
  if (mask & d2xx::FT_PURGE_RX) {
    pipe_.Purge(now);
  }
}

std::size_t SimulatedAdapter::QueueStatus(Micros now) {
  pipe_.DeliverUntil(now);
  return pipe_.Available();
}

d2xx::FT_STATUS SimulatedAdapter::SetLatencyTimer(std::uint8_t ms, Micros now) {
  if (ms < kLowestLatencyMs) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  pipe_.SetLatency(Micros{ms} * kMicrosPerMs, now);
  return d2xx::FT_OK;
}

std::uint8_t SimulatedAdapter::LatencyTimerMs() const {
  const Micros ms = pipe_.Latency() / kMicrosPerMs;
  return static_cast<std::uint8_t>(std::clamp<Micros>(ms, 0, 255));
}

d2xx::FT_STATUS SimulatedAdapter::SetBaudRate(std::uint32_t baud) {
  if (baud < kLowestBaudRate || baud > kHighestBaudRate) {
    return d2xx::FT_INVALID_BAUD_RATE;
  }
  baud_ = baud;
  return d2xx::FT_OK;
}

d2xx::FT_STATUS SimulatedAdapter::SetDataCharacteristics(std::uint8_t wordLength,
                                                         std::uint8_t stopBits,
                                                         std::uint8_t parity) {
  const bool valid = (wordLength == d2xx::FT_BITS_7 || wordLength == d2xx::FT_BITS_8) &&
                     (stopBits == d2xx::FT_STOP_BITS_1 || stopBits == d2xx::FT_STOP_BITS_2) &&
                     parity <= d2xx::FT_PARITY_SPACE;
  if (!valid) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  wordLength_ = wordLength;
  stopBits_ = stopBits;
  parity_ = parity;
  return d2xx::FT_OK;
}

d2xx::FT_STATUS SimulatedAdapter::SetFlowControl(std::uint16_t mode) {
  const bool valid = mode == d2xx::FT_FLOW_NONE || mode == d2xx::FT_FLOW_RTS_CTS ||
                     mode == d2xx::FT_FLOW_DTR_DSR || mode == d2xx::FT_FLOW_XON_XOFF;
  if (!valid) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  flowControl_ = mode;
  return d2xx::FT_OK;
}

void SimulatedAdapter::SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
  readTimeoutMs_ = readMs;
  writeTimeoutMs_ = writeMs;
}

d2xx::FT_STATUS SimulatedAdapter::ReadEeprom(d2xx::FT_PROGRAM_DATA& block) const {
  return vm::ReadEeprom(eeprom_, block);
}

d2xx::FT_STATUS SimulatedAdapter::ProgramEeprom(const d2xx::FT_PROGRAM_DATA& block) {
  return vm::ProgramEeprom(block, eeprom_);
}

}  // namespace klxr::vm
