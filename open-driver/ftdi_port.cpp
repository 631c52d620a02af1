#include "open-driver/ftdi_port.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "open-driver/eeprom_block.h"

namespace klxr::open_driver {
namespace {

using d2xx::FT_STATUS;

constexpr int kFetchChunk = 4096;
// A USB transfer never waits longer than this when the caller set no time-out: the chip answers
// every bulk IN request within its latency period.
constexpr int kDefaultTransferTimeoutMs = 5000;

FT_STATUS Status(int result, FT_STATUS failure) {
  return result < 0 ? failure : d2xx::FT_OK;
}

const char* EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "" : value;
}

}  // namespace

std::optional<LineSettings> LineSettingsFor(d2xx::UCHAR wordLength, d2xx::UCHAR stopBits,
                                            d2xx::UCHAR parity) {
  LineSettings settings{};
  if (wordLength == d2xx::FT_BITS_8) {
    settings.bits = BITS_8;
  } else if (wordLength == d2xx::FT_BITS_7) {
    settings.bits = BITS_7;
  } else {
    return std::nullopt;
  }
  if (stopBits == d2xx::FT_STOP_BITS_1) {
    settings.stopBits = STOP_BIT_1;
  } else if (stopBits == d2xx::FT_STOP_BITS_2) {
    settings.stopBits = STOP_BIT_2;
  } else {
    return std::nullopt;
  }
  if (parity > d2xx::FT_PARITY_SPACE) {
    return std::nullopt;
  }
  settings.parity = parity;  // none, odd, even, mark, space: the same numbers in both
  return settings;
}

FT_STATUS OpenFailureStatus(int result, bool notPermitted) {
  return result == kUsbOpenFailed && notPermitted ? d2xx::kOpenNotPermitted
                                                  : d2xx::FT_DEVICE_NOT_OPENED;
}

namespace {

// True when libusb may not open the device for want of access to its device node.
bool AccessDenied(libusb_device* device) {
  libusb_device_handle* handle = nullptr;
  const int result = libusb_open(device, &handle);
  if (result == 0) {
    libusb_close(handle);
  }
  return result == LIBUSB_ERROR_ACCESS;
}

// Opens the adapter at this place in the list of FT232R adapters, and that one alone (opening by
// index through libftdi1 opens every adapter before it, so that one the user may not open would
// hide all after it).
FT_STATUS OpenAdapterAt(ftdi_context* context, int index) {
  ftdi_device_list* list = nullptr;
  const int count = ftdi_usb_find_all(context, &list, kVendorId, kProductId);
  ftdi_device_list* entry = count > index ? list : nullptr;
  for (int skipped = 0; entry != nullptr && skipped < index; ++skipped) {
    entry = entry->next;
  }
  FT_STATUS status = count < 0 ? d2xx::FT_DEVICE_NOT_OPENED : d2xx::FT_DEVICE_NOT_FOUND;
  if (entry != nullptr) {
    const int result = ftdi_usb_open_dev(context, entry->dev);
    status = result < 0
                 ? OpenFailureStatus(result, result == kUsbOpenFailed && AccessDenied(entry->dev))
                 : d2xx::FT_OK;
  }
  ftdi_list_free(&list);
  return status;
}

}  // namespace

int CountAdapters() {
  ftdi_context* context = ftdi_new();
  if (context == nullptr) {
    return -1;
  }
  ftdi_device_list* list = nullptr;
  const int count = ftdi_usb_find_all(context, &list, kVendorId, kProductId);
  ftdi_list_free(&list);
  ftdi_free(context);
  return count;
}

FT_STATUS FtdiPort::Open(int index, FtdiPort*& port) {
  if (index < 0) {
    return d2xx::FT_DEVICE_NOT_FOUND;
  }
  ftdi_context* context = ftdi_new();
  if (context == nullptr) {
    return d2xx::FT_INSUFFICIENT_RESOURCES;
  }
  // The kernel's serial driver lets go of the adapter while we hold it and gets it back on close.
  ftdi_set_interface(context, INTERFACE_A);
  context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
  if (const FT_STATUS status = OpenAdapterAt(context, index); status != d2xx::FT_OK) {
    ftdi_free(context);
    return status;
  }
  context->usb_read_timeout = kDefaultTransferTimeoutMs;
  context->usb_write_timeout = kDefaultTransferTimeoutMs;
  port = new FtdiPort(context, ReadClock::KindFromEnvironment(EnvironmentValue(kClockVariable)));
  return d2xx::FT_OK;
}

FtdiPort::FtdiPort(ftdi_context* context, ReadClock::Kind clock)
    : context_(context), clock_(clock) {}

FtdiPort::~FtdiPort() {
  ftdi_usb_close(context_);
  ftdi_free(context_);
}

int FtdiPort::Fetch() {
  std::uint8_t chunk[kFetchChunk];
  int total = 0;
  for (;;) {
    const int got = ftdi_read_data(context_, chunk, kFetchChunk);
    if (got < 0) {
      return got;
    }
    pending_.insert(pending_.end(), chunk, chunk + got);
    total += got;
    if (got < kFetchChunk) {
      return total;
    }
  }
}

FT_STATUS FtdiPort::Read(std::uint8_t* buffer, d2xx::DWORD count, d2xx::DWORD* received) {
  if (received == nullptr || (buffer == nullptr && count > 0)) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  *received = 0;
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  const auto deadline = clock_.Now() + std::chrono::milliseconds(readTimeoutMs_);
  const auto timedOut = [&] { return readTimeoutMs_ != 0 && clock_.Now() >= deadline; };
  for (;;) {
    const std::size_t take = std::min<std::size_t>(count - *received, pending_.size());
    std::copy_n(pending_.begin(), take, buffer + *received);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(take));
    *received += static_cast<d2xx::DWORD>(take);
    if (*received == count) {
      return d2xx::FT_OK;
    }
    const int fetched = Fetch();
    if (fetched < 0) {
      // A USB transfer that ran into the read time-out is the time-out, not a failure.
      return timedOut() && clock_.GetKind() == ReadClock::Kind::kReal ? d2xx::FT_OK
                                                                      : d2xx::FT_IO_ERROR;
    }
    if (fetched == 0) {
      if (timedOut()) {
        return d2xx::FT_OK;
      }
      if (readTimeoutMs_ == 0 && clock_.GetKind() == ReadClock::Kind::kCounted) {
        return d2xx::FT_OK;  // an emulated chip with nothing left will never send more
      }
      clock_.Idle(std::chrono::milliseconds(latencyMs_));
    }
  }
}

FT_STATUS FtdiPort::Write(const std::uint8_t* buffer, d2xx::DWORD count, d2xx::DWORD* written) {
  if (written == nullptr || (buffer == nullptr && count > 0)) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  *written = 0;
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  const int result = ftdi_write_data(context_, buffer, static_cast<int>(count));
  if (result < 0) {
    return d2xx::FT_IO_ERROR;
  }
  *written = static_cast<d2xx::DWORD>(result);
  return d2xx::FT_OK;
}

FT_STATUS FtdiPort::SetBaudRate(d2xx::ULONG baudRate) {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  if (baudRate < 183 || baudRate > 3000000) {
    return d2xx::FT_INVALID_BAUD_RATE;
  }
  const int result = ftdi_set_baudrate(context_, static_cast<int>(baudRate));
  return result == -1 ? d2xx::FT_INVALID_BAUD_RATE : Status(result, d2xx::FT_IO_ERROR);
}

FT_STATUS FtdiPort::SetDataCharacteristics(d2xx::UCHAR wordLength, d2xx::UCHAR stopBits,
                                           d2xx::UCHAR parity) {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  const std::optional<LineSettings> line = LineSettingsFor(wordLength, stopBits, parity);
  if (!line) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  return Status(ftdi_set_line_property(context_, static_cast<ftdi_bits_type>(line->bits),
                                       static_cast<ftdi_stopbits_type>(line->stopBits),
                                       static_cast<ftdi_parity_type>(line->parity)),
                d2xx::FT_IO_ERROR);
}

FT_STATUS FtdiPort::SetFlowControl(d2xx::USHORT mode, d2xx::UCHAR xon, d2xx::UCHAR xoff) {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  switch (mode) {
    case d2xx::FT_FLOW_NONE:
      return Status(ftdi_setflowctrl(context_, SIO_DISABLE_FLOW_CTRL), d2xx::FT_IO_ERROR);
    case d2xx::FT_FLOW_RTS_CTS:
      return Status(ftdi_setflowctrl(context_, SIO_RTS_CTS_HS), d2xx::FT_IO_ERROR);
    case d2xx::FT_FLOW_DTR_DSR:
      return Status(ftdi_setflowctrl(context_, SIO_DTR_DSR_HS), d2xx::FT_IO_ERROR);
    case d2xx::FT_FLOW_XON_XOFF:
      return Status(ftdi_setflowctrl_xonxoff(context_, xon, xoff), d2xx::FT_IO_ERROR);
    default:
      return d2xx::FT_INVALID_PARAMETER;
  }
}

FT_STATUS FtdiPort::SetDtr(bool high) {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  return Status(ftdi_setdtr(context_, high ? 1 : 0), d2xx::FT_IO_ERROR);
}

FT_STATUS FtdiPort::Purge(d2xx::ULONG mask) {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  if (mask & d2xx::FT_PURGE_RX) {
    pending_.clear();
    if (ftdi_tciflush(context_) < 0) {
      return d2xx::FT_IO_ERROR;
    }
  }
  if ((mask & d2xx::FT_PURGE_TX) && ftdi_tcoflush(context_) < 0) {
    return d2xx::FT_IO_ERROR;
  }
  return d2xx::FT_OK;
}

FT_STATUS FtdiPort::SetTimeouts(d2xx::ULONG readMs, d2xx::ULONG writeMs) {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  readTimeoutMs_ = readMs;
  // A transfer waits at most the time-out (the chip answers reads within its latency period);
  // libusb takes 0 as no limit, as the driver does.
  context_->usb_read_timeout = readMs == 0 ? kDefaultTransferTimeoutMs : static_cast<int>(readMs);
  context_->usb_write_timeout = static_cast<int>(writeMs);
  return d2xx::FT_OK;
}

FT_STATUS FtdiPort::ReadEeprom(d2xx::FT_PROGRAM_DATA* block) {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  return ReadEepromBlock(context_, block);
}

FT_STATUS FtdiPort::ProgramEeprom(const d2xx::FT_PROGRAM_DATA* block) {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  const FT_STATUS status = ProgramEepromBlock(context_, block);
  // Writing the EEPROM resets the chip's latency timer; the port keeps the one it had.
  ftdi_set_latency_timer(context_, static_cast<unsigned char>(latencyMs_));
  return status;
}

FT_STATUS FtdiPort::CyclePort() {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  const int result = libusb_reset_device(context_->usb_dev);
  // The adapter re-enumerates with its EEPROM's settings: this handle no longer reaches it.
  dead_ = true;
  return result == 0 || result == LIBUSB_ERROR_NOT_FOUND ? d2xx::FT_OK : d2xx::FT_IO_ERROR;
}

FT_STATUS FtdiPort::QueueStatus(d2xx::DWORD* waiting) {
  if (waiting == nullptr) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  if (Fetch() < 0) {
    return d2xx::FT_IO_ERROR;
  }
  *waiting = static_cast<d2xx::DWORD>(pending_.size());
  return d2xx::FT_OK;
}

FT_STATUS FtdiPort::SetLatencyTimer(d2xx::UCHAR ms) {
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  if (ms < 2) {
    return d2xx::FT_INVALID_PARAMETER;  // the FT232R's timer runs from 2 to 255 ms
  }
  if (ftdi_set_latency_timer(context_, ms) < 0) {
    return d2xx::FT_IO_ERROR;
  }
  latencyMs_ = ms;
  return d2xx::FT_OK;
}

FT_STATUS FtdiPort::GetLatencyTimer(d2xx::UCHAR* ms) {
  if (ms == nullptr) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  if (dead_) {
    return d2xx::FT_IO_ERROR;
  }
  unsigned char value = 0;
  if (ftdi_get_latency_timer(context_, &value) < 0) {
    return d2xx::FT_IO_ERROR;
  }
  *ms = value;
  return d2xx::FT_OK;
}

}  // namespace klxr::open_driver
