// An FT232R adapter chip as the host's USB stack sees it, with the virtual meter's meter model on
// its serial side. It answers the chip's vendor control requests (reset and purge, modem control,
// flow control, baud rate, data characteristics, latency timer, EEPROM words), takes bulk OUT data
// for the meter and hands the meter's replies back as bulk IN packets of two modem-status bytes and
// up to 62 data bytes. Replies are ready as soon as the command that asks for them has been
// written, so a conversation never waits for the chip in real time. Not thread-safe: the USB bus
// emulation serialises every call.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_model.h"

namespace klxr::emulation {

using Bytes = std::vector<std::uint8_t>;
using EepromImage = std::array<std::uint8_t, 128>;

// The FT232R EEPROM image built by libftdi1 from the virtual meter's EEPROM contents, with its
// checksum.
EepromImage BuildEepromImage(const vm::EepromContents& contents);
// The checksum word the chip expects in the image's last word.
std::uint16_t EepromChecksum(const EepromImage& image);

struct EmulatedAdapterConfig {
  EepromImage eeprom = BuildEepromImage(vm::MeterLeadEeprom());
  bool inUseElsewhere = false;  // another program has claimed the interface
  std::optional<vm::MeterConfig> meter = vm::MeterConfig{};
  // Unplugged once the meter has sent this many replies (and they have been fetched); -1 never.
  int vanishAfterReplies = -1;
};

// The eight bytes that start every control transfer.
struct ControlSetup {
  std::uint8_t requestType = 0;
  std::uint8_t request = 0;
  std::uint16_t value = 0;
  std::uint16_t index = 0;
  std::uint16_t length = 0;
};
ControlSetup ParseSetup(std::span<const std::uint8_t> eightBytes);

class EmulatedFt232r {
 public:
  explicit EmulatedFt232r(EmulatedAdapterConfig config);

  // A control transfer: the data of an IN request, an empty vector for an OUT request, or nothing
  // when the chip stalls the request.
  std::optional<Bytes> Control(const ControlSetup& setup, std::span<const std::uint8_t> outData);
  void BulkOut(std::span<const std::uint8_t> data);
  // One bulk IN transfer of at most maxLength bytes: full packets while data waits, ending with a
  // short packet (a status-only packet when nothing waits).
  Bytes BulkIn(std::size_t maxLength);
  // A USB port reset: the chip starts again from its EEPROM.
  void Reset();

  // Claims the interface for the host: false while another program or another handle holds it.
  bool Claim();
  void Release() { claimed_ = false; }
  bool Vanished() const { return vanished_; }
  void Vanish() { vanished_ = true; }
  const EepromImage& Eeprom() const { return eeprom_; }
  // "-> 02 03 4C 4F 47 1A" for every bulk OUT transfer, "<- 06 ..." for every meter reply.
  const std::vector<std::string>& WireLog() const { return wireLog_; }
  // "40 03 001A 0000" for every vendor request: type, request, value, index.
  const std::vector<std::string>& ControlLog() const { return controlLog_; }
  int Resets() const { return resets_; }
  int LatencyMs() const { return latencyMs_; }
  bool DtrHigh() const { return dtrHigh_; }
  std::uint16_t BaudDivisor() const { return baudValue_; }
  bool KernelDriverBound() const { return kernelDriverBound_; }
  void SetKernelDriverBound(bool bound) { kernelDriverBound_ = bound; }

 private:
  bool LineMatchesMeter() const;
  void StartFromEeprom();

  EmulatedAdapterConfig config_;
  EepromImage eeprom_;
  std::optional<vm::MeterModel> meter_;
  Bytes toHost_;
  std::vector<std::string> wireLog_;
  std::vector<std::string> controlLog_;
  int repliesSent_ = 0;
  int resets_ = 0;
  bool vanished_ = false;
  bool claimed_ = false;
  bool kernelDriverBound_ = true;
  int latencyMs_ = 16;
  bool dtrHigh_ = false;
  std::uint16_t baudValue_ = 0x4138;  // 9600 baud after power-up
  std::uint16_t baudIndex_ = 0;
  std::uint16_t dataValue_ = 0x0008;  // 8N1
};

}  // namespace klxr::emulation
