// ComAccess: the USB port to the meter's lead, an FT232R USB-to-serial adapter reached through the
// adapter driver's functions. Each operation forwards to one driver call and keeps that call's
// status in Status. While the port is closed (Handle null) every operation but Open,
// OpenAndConfigure and CheckEeprom calls nothing and returns 0, leaving Status, BytesRead and
// BytesWritten as they were; since 0 is also FT_OK, a caller cannot tell the two apart by the
// result. The class knows nothing of the meter protocol.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "link/d2xx_api.h"

namespace klxr {

// The line every conversation with a meter uses: 115200 baud, 8N1, no flow control, DTR low; reads
// wait at most 200 ms, writes 1000 ms. Conversations use one device (the first unless another is
// picked), discovery each index.
inline constexpr std::uint32_t kMeterBaudRate = 115200;
inline constexpr std::uint32_t kMeterReadTimeoutMs = 200;
inline constexpr std::uint32_t kMeterWriteTimeoutMs = 1000;

class ComAccess {
 public:
  // The driver table must outlive the object.
  explicit ComAccess(const d2xx::D2xxFunctions& driver) : driver_(driver) {}
  // Makes no driver call and leaves an open port open: callers close first.
  ~ComAccess() = default;
  // ProgramData points into the object, so it is never copied.
  ComAccess(const ComAccess&) = delete;
  ComAccess& operator=(const ComAccess&) = delete;

  // Opens the device at this index, also when a port is already open (the old handle is then
  // dropped unclosed). On success OpenIndex is the index; on failure Handle is null and OpenIndex
  // keeps its value.
  d2xx::FT_STATUS Open(std::int32_t deviceIndex);
  // Closes the port: afterwards Handle is null and OpenIndex -1, whatever the driver answered.
  d2xx::FT_STATUS Close();
  // Hands count bytes to the driver; the count accepted is in BytesWritten.
  d2xx::FT_STATUS Write(const void* buffer, d2xx::DWORD count);
  // Reads up to count bytes; returns once they have come or the read time-out has run out, and
  // BytesRead then says how many arrived (possibly 0: a time-out is no failure).
  d2xx::FT_STATUS Read(void* buffer, d2xx::DWORD count);
  // Discards data held by the driver: mask FT_PURGE_RX (received), FT_PURGE_TX (unsent) or both.
  d2xx::FT_STATUS Purge(std::uint32_t mask);
  d2xx::FT_STATUS PurgeRx() { return Purge(d2xx::FT_PURGE_RX); }
  d2xx::FT_STATUS PurgeTx() { return Purge(d2xx::FT_PURGE_TX); }
  d2xx::FT_STATUS SetBaudRate(std::uint32_t baudRate);
  // The driver's codes for word length, stop bits and parity.
  d2xx::FT_STATUS SetDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits,
                                         std::uint8_t parity);
  d2xx::FT_STATUS SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs);
  // Raises (true) or lowers (false) DTR.
  d2xx::FT_STATUS SetDtrState(bool on);
  d2xx::FT_STATUS SetFlowControl(std::uint16_t mode, std::uint8_t xon, std::uint8_t xoff);
  // Asks how many received bytes wait in the driver, without waiting; the count is in
  // BytesWaiting. FT_NOT_SUPPORTED (no call) when the driver lacks the function.
  d2xx::FT_STATUS QueueStatus();
  // Sets the adapter's latency timer (2 to 255 ms). FT_NOT_SUPPORTED (no call) when the driver
  // lacks the function.
  d2xx::FT_STATUS SetLatencyTimer(std::uint8_t milliseconds);

  // Opens the device, lowers DTR and, when both worked, sets the line and turns flow control off.
  // Returns the failing status of the open or of lowering DTR (the port is then closed, and Status
  // keeps that failure), else the status of the flow-control call: a failure to set the rate or
  // the line characteristics is not reported.
  d2xx::FT_STATUS OpenAndConfigure(std::int32_t deviceIndex, std::uint32_t baudRate,
                                   std::uint8_t wordLength, std::uint8_t stopBits,
                                   std::uint8_t parity);

  // Reads the adapter's EEPROM and compares it with the settings the meter link needs; sets
  // EepromChanged when one differs. With program true it writes the corrected block back and makes
  // the adapter re-enumerate (its handle is dead afterwards). On a closed port it opens device 0
  // itself and closes it again. Returns Status. Defined in eeprom_check.cpp.
  d2xx::FT_STATUS CheckEeprom(bool program);

  bool IsOpen() const { return Handle != nullptr; }

  std::int32_t OpenIndex = -1;           // device index of the open port; -1 once closed
  d2xx::FT_HANDLE Handle = nullptr;      // the port is open exactly when this is not null
  d2xx::FT_STATUS Status = d2xx::FT_OK;  // status of the last driver call this object made
  d2xx::DWORD BytesWritten = 0;          // count written by the last Write
  d2xx::DWORD BytesRead = 0;             // count received by the last Read
  d2xx::DWORD BytesWaiting = 0;          // count the last QueueStatus found waiting
  // The last line settings applied (recorded only when a driver call was made).
  std::uint32_t BaudRate = 0;
  std::uint8_t WordLength = 0;
  std::uint8_t StopBits = 0;
  std::uint8_t Parity = 0;
  std::uint32_t ReadTimeout = 0;
  std::uint32_t WriteTimeout = 1000;
  // The EEPROM block the check reads and writes; its four string pointers point at the buffers
  // below and are set afresh at each check.
  d2xx::FT_PROGRAM_DATA ProgramData{};
  std::uint16_t DefaultVendorId = 0x0403;
  std::uint16_t DefaultProductId = 0x6001;
  std::array<char, d2xx::kManufacturerSize> ManufacturerBuf{};
  std::array<char, d2xx::kManufacturerIdSize> ManufacturerIdBuf{};
  std::array<char, d2xx::kDescriptionSize> DescriptionBuf{};
  std::array<char, d2xx::kSerialNumberSize> SerialNumberBuf{};
  std::uint8_t EepromChanged = 0;  // 1 when the last successful check found a setting to correct

 private:
  // Closes a port whose open worked but whose DTR could not be lowered, keeping that failure.
  void ReleaseAfterFailedDtr();

  const d2xx::D2xxFunctions& driver_;
};

// The USB lead's serial number as the adapter check read it; none without a port or a check.
std::optional<std::string> AdapterSerialOf(const ComAccess* port);

}  // namespace klxr
