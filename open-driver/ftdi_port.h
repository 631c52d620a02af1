// One open adapter: a libftdi1 context on an FT232R, with the driver's operations on it. Every
// operation returns the driver's status code; a port whose adapter was cycled or unplugged fails
// every call with FT_IO_ERROR until it is closed.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "link/d2xx_api.h"
#include "open-driver/read_clock.h"

struct ftdi_context;

namespace klxr::open_driver {

inline constexpr int kVendorId = 0x0403;
inline constexpr int kProductId = 0x6001;

// The libftdi1 line settings for the driver's codes; nothing for a code the chip cannot do.
struct LineSettings {
  int bits;
  int stopBits;
  int parity;
};
std::optional<LineSettings> LineSettingsFor(d2xx::UCHAR wordLength, d2xx::UCHAR stopBits,
                                            d2xx::UCHAR parity);
// What ftdi_usb_open_dev answers when libusb could not open the adapter's device node.
inline constexpr int kUsbOpenFailed = -4;
// The status for a failed ftdi_usb_open_dev result; notPermitted: libusb refused to open the device
// node for want of access (LIBUSB_ERROR_ACCESS), which FT_Open answers with
// d2xx::kOpenNotPermitted. Every other failure is "not opened" (in use, or gone).
d2xx::FT_STATUS OpenFailureStatus(int result, bool notPermitted = false);

// The number of FT232R adapters present; negative when the USB stack cannot be reached.
int CountAdapters();

class FtdiPort {
 public:
  // Opens the adapter at this place in the list (FT_Open). On success the port is in `port`.
  static d2xx::FT_STATUS Open(int index, FtdiPort*& port);
  ~FtdiPort();
  FtdiPort(const FtdiPort&) = delete;
  FtdiPort& operator=(const FtdiPort&) = delete;

  d2xx::FT_STATUS Read(std::uint8_t* buffer, d2xx::DWORD count, d2xx::DWORD* received);
  d2xx::FT_STATUS Write(const std::uint8_t* buffer, d2xx::DWORD count, d2xx::DWORD* written);
  d2xx::FT_STATUS SetBaudRate(d2xx::ULONG baudRate);
  d2xx::FT_STATUS SetDataCharacteristics(d2xx::UCHAR wordLength, d2xx::UCHAR stopBits,
                                         d2xx::UCHAR parity);
  d2xx::FT_STATUS SetFlowControl(d2xx::USHORT mode, d2xx::UCHAR xon, d2xx::UCHAR xoff);
  d2xx::FT_STATUS SetDtr(bool high);
  d2xx::FT_STATUS Purge(d2xx::ULONG mask);
  d2xx::FT_STATUS SetTimeouts(d2xx::ULONG readMs, d2xx::ULONG writeMs);
  d2xx::FT_STATUS ReadEeprom(d2xx::FT_PROGRAM_DATA* block);
  d2xx::FT_STATUS ProgramEeprom(const d2xx::FT_PROGRAM_DATA* block);
  d2xx::FT_STATUS CyclePort();
  d2xx::FT_STATUS QueueStatus(d2xx::DWORD* waiting);
  d2xx::FT_STATUS SetLatencyTimer(d2xx::UCHAR ms);
  d2xx::FT_STATUS GetLatencyTimer(d2xx::UCHAR* ms);

 private:
  FtdiPort(ftdi_context* context, ReadClock::Kind clock);
  // Fetches what the chip has sent into pending_; the count fetched, or a negative error.
  int Fetch();

  ftdi_context* context_;
  ReadClock clock_;
  std::vector<std::uint8_t> pending_;  // received, not yet handed to a read
  d2xx::ULONG readTimeoutMs_ = 0;      // 0: a read waits until its count has come
  int latencyMs_ = 16;
  bool dead_ = false;  // the adapter was cycled: this handle no longer reaches it
};

}  // namespace klxr::open_driver
