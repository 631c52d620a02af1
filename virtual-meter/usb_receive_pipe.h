// The adapter chip's way from the serial line to the host. Bytes from the meter wait in the chip
// until a USB packet takes them: 64-byte packets carry 2 status bytes and up to 62 data bytes. The
// chip sends a packet at once when 62 data bytes wait; otherwise its latency timer sends what waits
// when it runs out. The timer runs all the time the device is open (with nothing waiting it sends a
// status-only packet) and every packet restarts it, so it runs out at the times
// last packet + k * latency. Packets reach the driver's receive buffer, from which FT_Read takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

#include "virtual-meter/bus_config.h"

namespace klxr::vm {

// A byte on its way from the meter to the host.
struct WireByte {
  std::uint8_t value = 0;
  Micros entered = 0;     // when its stop bit ended and it entered the chip
  std::size_t entry = 0;  // the transcript entry it belongs to, and its place there
  std::size_t offset = 0;
};

// The time at which `count` characters have crossed a line running at `baud`, with `bitsPerChar`
// bits each (start, data, parity and stop bits), rounded to the microsecond.
Micros LineTime(std::int64_t count, std::uint32_t baud, int bitsPerChar);

class UsbReceivePipe {
 public:
  // Told of every byte that reaches the host (at its arrival time) or is discarded (time -1).
  using ArrivalObserver = std::function<void(const WireByte&, Micros arrival)>;
  static constexpr Micros kDiscarded = -1;

  UsbReceivePipe(UsbTiming timing, ArrivalObserver observer);

  // The device has been opened at `now`: the host's buffer is empty, the chip has dropped what it
  // held, and the latency timer starts. Bytes that enter the chip after `now` (a reply the meter is
  // still sending) are delivered as usual.
  void Restart(Micros now);
  // A byte from the meter; bytes come in the order they enter the chip.
  void Push(const WireByte& byte);
  // Sends every packet due up to `time` into the host's buffer.
  void DeliverUntil(Micros time);
  // When the host's buffer will hold `count` bytes, counting every byte pushed so far; nothing when
  // they will never be that many.
  std::optional<Micros> TimeWhenAvailable(std::size_t count) const;
  // When the last byte pushed so far reaches the host; nothing when none waits.
  std::optional<Micros> LastDeliveryTime() const;
  std::size_t Available() const { return host_.size(); }
  // Moves up to `count` bytes from the host's buffer into `out`; returns how many.
  std::size_t Take(std::uint8_t* out, std::size_t count);
  // FT_Purge with FT_PURGE_RX at `now`: discards what has reached the host or the chip by then.
  void Purge(Micros now);
  // The latency timer from `now` on: what was due by then has been sent, and the timer restarts
  // with the new period.
  void SetLatency(Micros latencyUs, Micros now);
  Micros Latency() const { return timing_.latencyUs; }

 private:
  struct Packet {
    Micros time;
    std::size_t count;
  };
  // The next packet after one sent at `anchor`, for the waiting bytes from index `first` on.
  Packet NextPacket(Micros anchor, std::size_t first) const;

  UsbTiming timing_;
  ArrivalObserver observer_;
  Micros anchor_ = 0;
  std::deque<WireByte> waiting_;
  std::deque<std::uint8_t> host_;
};

}  // namespace klxr::vm
