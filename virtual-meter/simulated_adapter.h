// One USB adapter on the virtual bus: its EEPROM, its line settings while open, the USB transfer
// towards the host and the meter behind it (if any). The bus checks handles and logs calls; the
// adapter carries out what each driver function does to the device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "link/d2xx_api.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/clock.h"
#include "virtual-meter/meter_model.h"
#include "virtual-meter/transcript.h"
#include "virtual-meter/usb_receive_pipe.h"

namespace klxr::vm {

// The meter's end of the line: 115200 baud, 8 data bits, no parity, 1 stop bit.
inline constexpr std::uint32_t kMeterBaudRate = 115200;

class SimulatedAdapter {
 public:
  SimulatedAdapter(int id, AdapterConfig config, Transcript& transcript);
  SimulatedAdapter(const SimulatedAdapter&) = delete;
  SimulatedAdapter& operator=(const SimulatedAdapter&) = delete;

  int Id() const { return id_; }
  // Attached and not vanished at `now`: listed by FT_ListDevices and reachable by FT_Open.
  bool Present(Micros now);
  // Counts a driver call addressed to the adapter (its vanish rule may count them).
  void CountCall() { ++calls_; }
  bool InUseElsewhere() const { return config_.inUseElsewhere; }
  bool OpenNotPermitted() const { return config_.openNotPermitted; }
  bool IsOpen() const { return open_; }

  // Unplugs the adapter now, or plugs it back in (without its vanish rule).
  void Unplug();
  void Replug();

  void Open(Micros now);
  void Close() { open_ = false; }
  // FT_CyclePort: the adapter drops off the bus and enumerates again with its EEPROM as stored. It
  // comes back at once, unless its vendor or product id has changed: the driver then no longer
  // recognises it and it is not listed again.
  void Cycle();

  void Write(const Bytes& bytes, Micros now);
  struct ReadResult {
    d2xx::FT_STATUS status;
    std::size_t count;
  };
  ReadResult Read(std::uint8_t* out, std::size_t count, Clock& clock);
  void Purge(std::uint32_t mask, Micros now);
  // FT_GetQueueStatus: the bytes that have reached the host's buffer by `now`; never waits.
  std::size_t QueueStatus(Micros now);
  // FT_SetLatencyTimer: 2 to 255 ms, else FT_INVALID_PARAMETER. The setting lasts until the
  // adapter is cycled or unplugged, across closing and opening it.
  d2xx::FT_STATUS SetLatencyTimer(std::uint8_t ms, Micros now);
  std::uint8_t LatencyTimerMs() const;

  d2xx::FT_STATUS SetBaudRate(std::uint32_t baud);
  d2xx::FT_STATUS SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                         std::uint8_t parity);
  d2xx::FT_STATUS SetFlowControl(std::uint16_t mode);
  void SetDtr(bool on) { dtr_ = on; }
  void SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs);
  d2xx::FT_STATUS ReadEeprom(d2xx::FT_PROGRAM_DATA& block) const;
  d2xx::FT_STATUS ProgramEeprom(const d2xx::FT_PROGRAM_DATA& block);

  const EepromContents& Eeprom() const { return eeprom_; }
  // The meter behind the adapter; null for a device that is no meter.
  const MeterModel* Meter() const { return meter_ ? &*meter_ : nullptr; }
  bool Dtr() const { return dtr_; }
  std::uint32_t BaudRate() const { return baud_; }
  std::uint16_t FlowControl() const { return flowControl_; }
  std::uint32_t ReadTimeoutMs() const { return readTimeoutMs_; }
  std::uint32_t WriteTimeoutMs() const { return writeTimeoutMs_; }

 private:
  // The adapter is unplugged by its vanish rule.
  void Detach();
  bool LineMatchesMeter() const;
  int HostBitsPerChar() const;
  void ScheduleReply(const ReplyPlan& plan, Micros commandEnd);
  // The moment the adapter vanishes by its rule, when that is a moment in time.
  std::optional<Micros> VanishTime() const;

  int id_;
  AdapterConfig config_;
  Transcript& transcript_;
  EepromContents eeprom_;
  std::optional<MeterModel> meter_;
  UsbReceivePipe pipe_;
  d2xx::WORD enumeratedVendorId_;
  d2xx::WORD enumeratedProductId_;

  bool attached_ = true;
  bool open_ = false;
  std::int64_t calls_ = 0;
  std::int64_t replies_ = 0;
  std::optional<Micros> vanishAfterReplyAt_;

  std::uint32_t baud_ = 9600;
  std::uint8_t wordLength_ = d2xx::FT_BITS_8;
  std::uint8_t stopBits_ = d2xx::FT_STOP_BITS_1;
  std::uint8_t parity_ = d2xx::FT_PARITY_NONE;
  std::uint16_t flowControl_ = d2xx::FT_FLOW_NONE;
  bool dtr_ = false;
  std::uint32_t readTimeoutMs_ = 0;
  std::uint32_t writeTimeoutMs_ = 0;
  Micros hostLineFree_ = 0;   // when the host's last byte has crossed the line
  Micros meterLineFree_ = 0;  // when the meter's last byte has crossed the line
};

}  // namespace klxr::vm
