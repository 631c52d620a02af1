#include "tests/open-driver/emulated_ft232r.h"

#include <ftdi.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "virtual-meter/transcript.h"

namespace klxr::emulation {
namespace {

constexpr std::uint8_t kVendorOut = 0x40;
constexpr std::uint8_t kVendorIn = 0xC0;
constexpr std::size_t kPacketSize = 64;
constexpr std::size_t kStatusBytes = 2;
constexpr std::uint8_t kModemStatus0 = 0x01;  // CTS clear, the chip's idle status
constexpr std::uint8_t kModemStatus1 =
    0x60;  // transmitter holding register and shift register empty
constexpr std::uint16_t kBaud115200Value = 0x001A;
constexpr std::uint16_t kEightNoneOne = 0x0008;

std::string RenderSetup(const ControlSetup& setup) {
  char text[32];
  std::snprintf(text, sizeof text, "%02X %02X %04X %04X", setup.requestType, setup.request,
                setup.value, setup.index);
  return text;
}

}  // namespace

EepromImage BuildEepromImage(const vm::EepromContents& contents) {
  EepromImage image{};
  ftdi_context* context = ftdi_new();
  if (context == nullptr) {
    return image;
  }
  context->type = TYPE_R;
  // libftdi1 builds images only for an open device, but reads nothing from it while it builds:
  // a stand-in handle passes its check and is gone again before the context is freed.
  context->usb_dev = reinterpret_cast<libusb_device_handle*>(context);
  const d2xx::FT_PROGRAM_DATA& f = contents.fields;
  ftdi_eeprom_initdefaults(context, const_cast<char*>(contents.manufacturer.c_str()),
                           const_cast<char*>(contents.description.c_str()),
                           const_cast<char*>(contents.serialNumber.c_str()));
  const int invert = (f.InvertTXD ? INVERT_TXD : 0) | (f.InvertRXD ? INVERT_RXD : 0) |
                     (f.InvertRTS ? INVERT_RTS : 0) | (f.InvertCTS ? INVERT_CTS : 0) |
                     (f.InvertDTR ? INVERT_DTR : 0) | (f.InvertDSR ? INVERT_DSR : 0) |
                     (f.InvertDCD ? INVERT_DCD : 0) | (f.InvertRI ? INVERT_RI : 0);
  const std::pair<ftdi_eeprom_value, int> values[] = {
      {VENDOR_ID, f.VendorId},
      {PRODUCT_ID, f.ProductId},
      {MAX_POWER, f.MaxPower},
      {SELF_POWERED, f.SelfPowered},
      {REMOTE_WAKEUP, f.RemoteWakeup},
      {IS_NOT_PNP, f.PnP},
      {USE_SERIAL, f.SerNumEnableR},
      {INVERT, invert},
      {CBUS_FUNCTION_0, f.Cbus0},
      {CBUS_FUNCTION_1, f.Cbus1},
      {CBUS_FUNCTION_2, f.Cbus2},
      {CBUS_FUNCTION_3, f.Cbus3},
      {CBUS_FUNCTION_4, f.Cbus4},
      {HIGH_CURRENT, f.HighDriveIOs},
      {SUSPEND_PULL_DOWNS, f.PullDownEnableR},
      {EXTERNAL_OSCILLATOR, f.UseExtOsc},
      {CHANNEL_A_DRIVER, f.RIsD2XX ? 0 : 1},
  };
  for (const auto& [name, value] : values) {
    ftdi_set_eeprom_value(context, name, value);
  }
  if (ftdi_eeprom_build(context) >= 0) {
    ftdi_get_eeprom_buf(context, image.data(), static_cast<int>(image.size()));
  }
  context->usb_dev = nullptr;
  ftdi_free(context);
  return image;
}

std::uint16_t EepromChecksum(const EepromImage& image) {
  std::uint16_t checksum = 0xAAAA;
  for (std::size_t word = 0; word + 1 < image.size() / 2; ++word) {
    const auto value = static_cast<std::uint16_t>(image[2 * word] | (image[2 * word + 1] << 8));
    checksum = static_cast<std::uint16_t>(checksum ^ value);
    checksum = static_cast<std::uint16_t>((checksum << 1) | (checksum >> 15));
  }
  return checksum;
}

ControlSetup ParseSetup(std::span<const std::uint8_t> b) {
  ControlSetup setup;
  if (b.size() < 8) {
    return setup;
  }
  setup.requestType = b[0];
  setup.request = b[1];
  setup.value = static_cast<std::uint16_t>(b[2] | (b[3] << 8));
  setup.index = static_cast<std::uint16_t>(b[4] | (b[5] << 8));
  setup.length = static_cast<std::uint16_t>(b[6] | (b[7] << 8));
  return setup;
}

EmulatedFt232r::EmulatedFt232r(EmulatedAdapterConfig config)
    : config_(std::move(config)), eeprom_(config_.eeprom) {
  if (config_.meter) {
    meter_.emplace(*config_.meter);
  }
}

void EmulatedFt232r::StartFromEeprom() {
  latencyMs_ = 16;
  baudValue_ = 0x4138;
  baudIndex_ = 0;
  dataValue_ = kEightNoneOne;
  toHost_.clear();
}

void EmulatedFt232r::Reset() {
  ++resets_;
  StartFromEeprom();
}

bool EmulatedFt232r::Claim() {
  if (config_.inUseElsewhere || claimed_) {
    return false;
  }
  claimed_ = true;
  return true;
}

bool EmulatedFt232r::LineMatchesMeter() const {
  return baudValue_ == kBaud115200Value && baudIndex_ == 0 && dataValue_ == kEightNoneOne;
}

std::optional<Bytes> EmulatedFt232r::Control(const ControlSetup& setup,
                                             std::span<const std::uint8_t> outData) {
  (void)outData;
  if (setup.requestType != kVendorOut && setup.requestType != kVendorIn) {
    return std::nullopt;  // standard requests: the descriptors come from sysfs
  }
  controlLog_.push_back(RenderSetup(setup));
  const std::size_t word = setup.index;
  switch (setup.request) {
    case SIO_RESET_REQUEST:
      if (setup.value == SIO_TCIFLUSH) {
        toHost_.clear();
      }
      return Bytes{};
    case SIO_SET_MODEM_CTRL_REQUEST:
      if (setup.value & 0x0100) {
        dtrHigh_ = (setup.value & 0x0001) != 0;
      }
      return Bytes{};
    case SIO_SET_FLOW_CTRL_REQUEST:
      return Bytes{};
    case SIO_SET_BAUDRATE_REQUEST:
      baudValue_ = setup.value;
      baudIndex_ = setup.index;
      return Bytes{};
    case SIO_SET_DATA_REQUEST:
      dataValue_ = setup.value;
      return Bytes{};
    case SIO_POLL_MODEM_STATUS_REQUEST:
      return Bytes{kModemStatus0, kModemStatus1};
    case SIO_SET_LATENCY_TIMER_REQUEST:
      latencyMs_ = setup.value & 0xFF;
      return Bytes{};
    case SIO_GET_LATENCY_TIMER_REQUEST:
      return Bytes{static_cast<std::uint8_t>(latencyMs_)};
    case SIO_READ_EEPROM_REQUEST:
      if (2 * word + 1 >= eeprom_.size()) {
        return Bytes{0xFF, 0xFF};
      }
      return Bytes{eeprom_[2 * word], eeprom_[2 * word + 1]};
    case SIO_WRITE_EEPROM_REQUEST:
      if (2 * word + 1 < eeprom_.size()) {
        eeprom_[2 * word] = static_cast<std::uint8_t>(setup.value & 0xFF);
        eeprom_[2 * word + 1] = static_cast<std::uint8_t>(setup.value >> 8);
      }
      return Bytes{};
    case SIO_ERASE_EEPROM_REQUEST:
      eeprom_.fill(0xFF);
      return Bytes{};
    default:
      return std::nullopt;
  }
}

void EmulatedFt232r::BulkOut(std::span<const std::uint8_t> data) {
  wireLog_.push_back(
      vm::RenderEntry({vm::Direction::kToMeter, 0, 0, Bytes(data.begin(), data.end()), {}}));
  if (!meter_ || !LineMatchesMeter()) {
    return;
  }
  for (const std::uint8_t byte : data) {
    if (std::optional<vm::ReplyPlan> reply = meter_->Receive(byte)) {
      wireLog_.push_back(vm::RenderEntry({vm::Direction::kFromMeter, 0, 0, reply->bytes, {}}));
      toHost_.insert(toHost_.end(), reply->bytes.begin(), reply->bytes.end());
      ++repliesSent_;
    }
  }
}

Bytes EmulatedFt232r::BulkIn(std::size_t maxLength) {
  Bytes transfer;
  const std::size_t dataPerPacket = kPacketSize - kStatusBytes;
  while (transfer.size() + kPacketSize <= maxLength) {
    const std::size_t take = std::min(dataPerPacket, toHost_.size());
    transfer.push_back(kModemStatus0);
    transfer.push_back(kModemStatus1);
    transfer.insert(transfer.end(), toHost_.begin(), toHost_.begin() + static_cast<long>(take));
    toHost_.erase(toHost_.begin(), toHost_.begin() + static_cast<long>(take));
    if (take < dataPerPacket) {
      break;  // a short packet ends the transfer
    }
  }
  if (toHost_.empty() && config_.vanishAfterReplies >= 0 &&
      repliesSent_ >= config_.vanishAfterReplies) {
    vanished_ = true;
  }
  return transfer;
}

}  // namespace klxr::emulation
