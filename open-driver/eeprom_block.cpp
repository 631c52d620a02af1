#include "open-driver/eeprom_block.h"

#include <ftdi.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <utility>

namespace klxr::open_driver {
namespace {

using d2xx::FT_PROGRAM_DATA;
using d2xx::FT_STATUS;

constexpr std::size_t kImageSize = 128;
constexpr std::uint8_t kStringDescriptor = 0x03;
constexpr std::size_t kManufacturerField = 0x0E;
constexpr std::size_t kDescriptionField = 0x10;
constexpr std::size_t kSerialNumberField = 0x12;

// The string descriptor whose offset and length stand at image[field] and image[field + 1].
std::string DecodeDescriptor(std::span<const std::uint8_t> image, std::size_t field) {
  if (image.size() < field + 2) {
    return {};
  }
  const std::size_t offset = image[field] & 0x7F;
  const std::size_t length = image[field + 1];
  if (length < 2 || offset + length > image.size() || image[offset] != length ||
      image[offset + 1] != kStringDescriptor) {
    return {};
  }
  std::string text;
  for (std::size_t i = offset + 2; i + 1 < offset + length; i += 2) {
    if (image[i] == 0) {
      break;
    }
    text.push_back(image[i + 1] == 0 ? static_cast<char>(image[i]) : '?');
  }
  return text;
}

struct InvertBit {
  d2xx::UCHAR FT_PROGRAM_DATA::*field;
  int bit;
};
constexpr InvertBit kInvertBits[] = {
    {&FT_PROGRAM_DATA::InvertTXD, INVERT_TXD}, {&FT_PROGRAM_DATA::InvertRXD, INVERT_RXD},
    {&FT_PROGRAM_DATA::InvertRTS, INVERT_RTS}, {&FT_PROGRAM_DATA::InvertCTS, INVERT_CTS},
    {&FT_PROGRAM_DATA::InvertDTR, INVERT_DTR}, {&FT_PROGRAM_DATA::InvertDSR, INVERT_DSR},
    {&FT_PROGRAM_DATA::InvertDCD, INVERT_DCD}, {&FT_PROGRAM_DATA::InvertRI, INVERT_RI},
};

struct ByteField {
  d2xx::UCHAR FT_PROGRAM_DATA::*field;
  ftdi_eeprom_value value;
};
constexpr ByteField kByteFields[] = {
    {&FT_PROGRAM_DATA::Cbus0, CBUS_FUNCTION_0},
    {&FT_PROGRAM_DATA::Cbus1, CBUS_FUNCTION_1},
    {&FT_PROGRAM_DATA::Cbus2, CBUS_FUNCTION_2},
    {&FT_PROGRAM_DATA::Cbus3, CBUS_FUNCTION_3},
    {&FT_PROGRAM_DATA::Cbus4, CBUS_FUNCTION_4},
    {&FT_PROGRAM_DATA::HighDriveIOs, HIGH_CURRENT},
    {&FT_PROGRAM_DATA::PullDownEnableR, SUSPEND_PULL_DOWNS},
    {&FT_PROGRAM_DATA::SerNumEnableR, USE_SERIAL},
    {&FT_PROGRAM_DATA::UseExtOsc, EXTERNAL_OSCILLATOR},
};

int Value(ftdi_context* context, ftdi_eeprom_value name) {
  int value = 0;
  return ftdi_get_eeprom_value(context, name, &value) == 0 ? value : 0;
}

// Reads and decodes the adapter's image into the context. The raw image lands in `image`.
FT_STATUS ReadImage(ftdi_context* context, std::array<std::uint8_t, kImageSize>& image) {
  if (ftdi_read_eeprom(context) < 0) {
    return d2xx::FT_EEPROM_READ_FAILED;
  }
  if (ftdi_get_eeprom_buf(context, image.data(), static_cast<int>(image.size())) < 0) {
    return d2xx::FT_EEPROM_READ_FAILED;
  }
  if (std::all_of(image.begin(), image.end(), [](std::uint8_t b) { return b == 0xFF; })) {
    return d2xx::FT_EEPROM_NOT_PROGRAMMED;
  }
  if (ftdi_eeprom_decode(context, 0) < 0) {
    return d2xx::FT_EEPROM_NOT_PROGRAMMED;
  }
  return d2xx::FT_OK;
}

void FillFieldsFromContext(ftdi_context* context, FT_PROGRAM_DATA& block) {
  block.VendorId = static_cast<d2xx::WORD>(Value(context, VENDOR_ID));
  block.ProductId = static_cast<d2xx::WORD>(Value(context, PRODUCT_ID));
  block.MaxPower = static_cast<d2xx::WORD>(Value(context, MAX_POWER));
  block.SelfPowered = static_cast<d2xx::WORD>(Value(context, SELF_POWERED) ? 1 : 0);
  block.RemoteWakeup = static_cast<d2xx::WORD>(Value(context, REMOTE_WAKEUP) ? 1 : 0);
  if (block.Version < 2) {
    return;
  }
  const int invert = Value(context, INVERT);
  for (const InvertBit& entry : kInvertBits) {
    block.*entry.field = (invert & entry.bit) ? 1 : 0;
  }
  for (const ByteField& entry : kByteFields) {
    block.*entry.field = static_cast<d2xx::UCHAR>(Value(context, entry.value));
  }
  block.EndpointSize = 64;
  block.RIsD2XX = Value(context, CHANNEL_A_DRIVER) ? 0 : 1;
  if (block.Version > 2) {
    std::memset(block.LaterVersionFields, 0, sizeof block.LaterVersionFields);
  }
}

void SetFieldsIntoContext(ftdi_context* context, const FT_PROGRAM_DATA& block) {
  const std::pair<ftdi_eeprom_value, int> common[] = {
      {VENDOR_ID, block.VendorId},
      {PRODUCT_ID, block.ProductId},
      {MAX_POWER, block.MaxPower},
      {SELF_POWERED, block.SelfPowered ? 1 : 0},
      {REMOTE_WAKEUP, block.RemoteWakeup ? 1 : 0},
      {IS_NOT_PNP, block.PnP},
  };
  for (const auto& [name, value] : common) {
    ftdi_set_eeprom_value(context, name, value);
  }
  if (block.Version < 2) {
    return;
  }
  int invert = 0;
  for (const InvertBit& entry : kInvertBits) {
    invert |= (block.*entry.field) ? entry.bit : 0;
  }
  ftdi_set_eeprom_value(context, INVERT, invert);
  for (const ByteField& entry : kByteFields) {
    ftdi_set_eeprom_value(context, entry.value, block.*entry.field);
  }
  ftdi_set_eeprom_value(context, CHANNEL_A_DRIVER, block.RIsD2XX ? 0 : 1);
}

}  // namespace

ImageStrings DecodeImageStrings(std::span<const std::uint8_t> image) {
  return {DecodeDescriptor(image, kManufacturerField), DecodeDescriptor(image, kDescriptionField),
          DecodeDescriptor(image, kSerialNumberField)};
}

std::uint16_t DecodePlugAndPlay(std::span<const std::uint8_t> image) {
  if (image.size() <= kSerialNumberField + 1 || image[kSerialNumberField + 1] == 0) {
    return 0;
  }
  const std::size_t at = (image[kSerialNumberField] & 0x7Fu) + image[kSerialNumberField + 1] + 2u;
  return at < image.size() - 2 ? image[at] : 0;  // the last word is the checksum
}

std::string ManufacturerIdOf(const std::string& serialNumber) {
  std::string id;
  for (const char c : serialNumber) {
    if (!std::isalpha(static_cast<unsigned char>(c)) || id.size() == 15) {
      break;
    }
    id.push_back(c);
  }
  return id;
}

void CopyToBuffer(const std::string& text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) {
    return;
  }
  const std::size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

std::string ReadBuffer(const char* buffer, std::size_t size) {
  if (buffer == nullptr) {
    return {};
  }
  const void* end = std::memchr(buffer, '\0', size);
  return std::string(buffer, end ? static_cast<const char*>(end) - buffer : size);
}

FT_STATUS CheckBlock(const FT_PROGRAM_DATA* block) {
  if (block == nullptr || block->Signature1 != 0x00000000u || block->Signature2 != 0xFFFFFFFFu ||
      block->Version > 5 || block->Manufacturer == nullptr || block->ManufacturerId == nullptr ||
      block->Description == nullptr || block->SerialNumber == nullptr) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  return d2xx::FT_OK;
}

FT_STATUS ReadEepromBlock(ftdi_context* context, FT_PROGRAM_DATA* block) {
  if (const FT_STATUS status = CheckBlock(block); status != d2xx::FT_OK) {
    return status;
  }
  std::array<std::uint8_t, kImageSize> image{};
  if (const FT_STATUS status = ReadImage(context, image); status != d2xx::FT_OK) {
    return status;
  }
  FillFieldsFromContext(context, *block);
  block->PnP = DecodePlugAndPlay(image);
  const ImageStrings strings = DecodeImageStrings(image);
  CopyToBuffer(strings.manufacturer, block->Manufacturer, d2xx::kManufacturerSize);
  CopyToBuffer(ManufacturerIdOf(strings.serialNumber), block->ManufacturerId,
               d2xx::kManufacturerIdSize);
  CopyToBuffer(strings.description, block->Description, d2xx::kDescriptionSize);
  CopyToBuffer(strings.serialNumber, block->SerialNumber, d2xx::kSerialNumberSize);
  return d2xx::FT_OK;
}

FT_STATUS ProgramEepromBlock(ftdi_context* context, const FT_PROGRAM_DATA* block) {
  if (const FT_STATUS status = CheckBlock(block); status != d2xx::FT_OK) {
    return status;
  }
  std::array<std::uint8_t, kImageSize> image{};
  if (ReadImage(context, image) != d2xx::FT_OK) {
    // A blank or unreadable image: start from the chip's defaults.
    ftdi_eeprom_initdefaults(context, nullptr, nullptr, nullptr);
  }
  SetFieldsIntoContext(context, *block);
  const std::string manufacturer = ReadBuffer(block->Manufacturer, d2xx::kManufacturerSize);
  const std::string description = ReadBuffer(block->Description, d2xx::kDescriptionSize);
  const std::string serialNumber = ReadBuffer(block->SerialNumber, d2xx::kSerialNumberSize);
  if (ftdi_eeprom_set_strings(context, manufacturer.c_str(), description.c_str(),
                              serialNumber.c_str()) < 0 ||
      ftdi_eeprom_build(context) < 0 || ftdi_write_eeprom(context) < 0) {
    return d2xx::FT_EEPROM_WRITE_FAILED;
  }
  return d2xx::FT_OK;
}

}  // namespace klxr::open_driver
