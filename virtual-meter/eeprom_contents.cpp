#include "virtual-meter/eeprom_contents.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace klxr::vm {
namespace {

using d2xx::FT_PROGRAM_DATA;
using d2xx::UCHAR;
using d2xx::WORD;

constexpr d2xx::DWORD kSignature1 = 0x00000000;
constexpr d2xx::DWORD kSignature2 = 0xFFFFFFFF;
constexpr d2xx::DWORD kLatestVersion = 5;

// Byte ranges of the block that each structure version adds.
struct Section {
  d2xx::DWORD version;
  std::size_t begin;
  std::size_t end;
};
constexpr std::array<Section, 4> kSections{{
    {0, offsetof(FT_PROGRAM_DATA, Rev4), offsetof(FT_PROGRAM_DATA, Rev5)},
    {1, offsetof(FT_PROGRAM_DATA, Rev5), offsetof(FT_PROGRAM_DATA, UseExtOsc)},
    {2, offsetof(FT_PROGRAM_DATA, UseExtOsc), offsetof(FT_PROGRAM_DATA, LaterVersionFields)},
    {3, offsetof(FT_PROGRAM_DATA, LaterVersionFields), sizeof(FT_PROGRAM_DATA)},
}};

void CopySections(const FT_PROGRAM_DATA& from, FT_PROGRAM_DATA& to, d2xx::DWORD version) {
  to.VendorId = from.VendorId;
  to.ProductId = from.ProductId;
  to.MaxPower = from.MaxPower;
  to.PnP = from.PnP;
  to.SelfPowered = from.SelfPowered;
  to.RemoteWakeup = from.RemoteWakeup;
  for (const Section& section : kSections) {
    if (section.version <= version) {
      std::memcpy(reinterpret_cast<unsigned char*>(&to) + section.begin,
                  reinterpret_cast<const unsigned char*>(&from) + section.begin,
                  section.end - section.begin);
    }
  }
}

d2xx::FT_STATUS CheckRequest(const FT_PROGRAM_DATA& block) {
  const bool buffersGiven = block.Manufacturer != nullptr && block.ManufacturerId != nullptr &&
                            block.Description != nullptr && block.SerialNumber != nullptr;
  if (block.Signature1 != kSignature1 || block.Signature2 != kSignature2 ||
      block.Version > kLatestVersion || !buffersGiven) {
    return d2xx::FT_INVALID_PARAMETER;
  }
  return d2xx::FT_OK;
}

void CopyOut(const std::string& text, char* buffer, std::size_t size) {
  const std::size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

std::string CopyIn(const char* buffer, std::size_t size) {
  const void* end = std::memchr(buffer, '\0', size);
  return std::string(buffer, end ? static_cast<const char*>(end) - buffer : size);
}

EepromContents CommonAdapter(int serial) {
  EepromContents eeprom;
  FT_PROGRAM_DATA& f = eeprom.fields;
  f.Signature1 = kSignature1;
  f.Signature2 = kSignature2;
  f.Version = 2;
  f.VendorId = 0x0403;
  f.ProductId = 0x6001;
  f.MaxPower = 90;
  f.RemoteWakeup = 1;
  f.EndpointSize = 64;
  f.SerNumEnableR = 1;
  f.Cbus0 = d2xx::FT_232R_CBUS_TXLED;
  f.Cbus1 = d2xx::FT_232R_CBUS_RXLED;
  f.Cbus2 = d2xx::FT_232R_CBUS_TXDEN;
  f.Cbus3 = d2xx::FT_232R_CBUS_PWRON;
  f.Cbus4 = d2xx::FT_232R_CBUS_SLEEP;
  eeprom.manufacturer = "Quorvel";
  eeprom.manufacturerId = "QV";
  char number[16];
  std::snprintf(number, sizeof number, "QV%06d", 104512 + serial % 100000);
  eeprom.serialNumber = number;
  return eeprom;
}

struct NumericField {
  std::string_view name;
  WORD FT_PROGRAM_DATA::*word;
  UCHAR FT_PROGRAM_DATA::*byte;
};

#define KLXR_WORD_FIELD(name) \
  { #name, &FT_PROGRAM_DATA::name, nullptr }
#define KLXR_BYTE_FIELD(name) \
  { #name, nullptr, &FT_PROGRAM_DATA::name }
constexpr NumericField kNumericFields[] = {
    KLXR_WORD_FIELD(VendorId),      KLXR_WORD_FIELD(ProductId),
    KLXR_WORD_FIELD(MaxPower),      KLXR_WORD_FIELD(PnP),
    KLXR_WORD_FIELD(SelfPowered),   KLXR_WORD_FIELD(RemoteWakeup),
    KLXR_BYTE_FIELD(UseExtOsc),     KLXR_BYTE_FIELD(HighDriveIOs),
    KLXR_BYTE_FIELD(EndpointSize),  KLXR_BYTE_FIELD(PullDownEnableR),
    KLXR_BYTE_FIELD(SerNumEnableR), KLXR_BYTE_FIELD(InvertTXD),
    KLXR_BYTE_FIELD(InvertRXD),     KLXR_BYTE_FIELD(InvertRTS),
    KLXR_BYTE_FIELD(InvertCTS),     KLXR_BYTE_FIELD(InvertDTR),
    KLXR_BYTE_FIELD(InvertDSR),     KLXR_BYTE_FIELD(InvertDCD),
    KLXR_BYTE_FIELD(InvertRI),      KLXR_BYTE_FIELD(Cbus0),
    KLXR_BYTE_FIELD(Cbus1),         KLXR_BYTE_FIELD(Cbus2),
    KLXR_BYTE_FIELD(Cbus3),         KLXR_BYTE_FIELD(Cbus4),
    KLXR_BYTE_FIELD(RIsD2XX),
};
#undef KLXR_WORD_FIELD
#undef KLXR_BYTE_FIELD

struct TextField {
  std::string_view name;
  std::string EepromContents::*text;
  char* FT_PROGRAM_DATA::*buffer;
  std::size_t bufferSize;
};
const TextField kTextFields[] = {
    {"Manufacturer", &EepromContents::manufacturer, &FT_PROGRAM_DATA::Manufacturer,
     d2xx::kManufacturerSize},
    {"ManufacturerId", &EepromContents::manufacturerId, &FT_PROGRAM_DATA::ManufacturerId,
     d2xx::kManufacturerIdSize},
    {"Description", &EepromContents::description, &FT_PROGRAM_DATA::Description,
     d2xx::kDescriptionSize},
    {"SerialNumber", &EepromContents::serialNumber, &FT_PROGRAM_DATA::SerialNumber,
     d2xx::kSerialNumberSize},
};

std::optional<unsigned long> ParseNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  unsigned long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

EepromContents MeterLeadEeprom(int serial) {
  EepromContents eeprom = CommonAdapter(serial);
  eeprom.fields.PnP = 0;
  eeprom.fields.SelfPowered = 0;
  eeprom.fields.InvertDTR = 1;
  eeprom.description = kMeterLeadDescription;
  return eeprom;
}

EepromContents FactoryDefaultEeprom(int serial) {
  EepromContents eeprom = CommonAdapter(serial);
  eeprom.fields.PnP = 1;
  eeprom.fields.SelfPowered = 0;
  eeprom.fields.InvertDTR = 0;
  eeprom.description = kFactoryDescription;
  return eeprom;
}

d2xx::FT_STATUS ReadEeprom(const EepromContents& eeprom, FT_PROGRAM_DATA& block) {
  if (const d2xx::FT_STATUS status = CheckRequest(block); status != d2xx::FT_OK) {
    return status;
  }
  CopySections(eeprom.fields, block, block.Version);
  for (const TextField& field : kTextFields) {
    CopyOut(eeprom.*field.text, block.*field.buffer, field.bufferSize);
  }
  return d2xx::FT_OK;
}

d2xx::FT_STATUS ProgramEeprom(const FT_PROGRAM_DATA& block, EepromContents& eeprom) {
  if (const d2xx::FT_STATUS status = CheckRequest(block); status != d2xx::FT_OK) {
    return status;
  }
  CopySections(block, eeprom.fields, block.Version);
  for (const TextField& field : kTextFields) {
    eeprom.*field.text = CopyIn(block.*field.buffer, field.bufferSize);
  }
  return d2xx::FT_OK;
}

std::optional<std::string> SetEepromField(EepromContents& eeprom, std::string_view name,
                                          std::string_view value) {
  for (const TextField& field : kTextFields) {
    if (field.name == name) {
      if (value.size() >= field.bufferSize) {
        return std::string(name) + " holds at most " + std::to_string(field.bufferSize - 1) +
               " characters";
      }
      eeprom.*field.text = std::string(value);
      return std::nullopt;
    }
  }
  for (const NumericField& field : kNumericFields) {
    if (field.name != name) {
      continue;
    }
    const std::optional<unsigned long> number = ParseNumber(value);
    const unsigned long limit = field.word ? 0xFFFF : 0xFF;
    if (!number || *number > limit) {
      return std::string(name) + " needs a number from 0 to " + std::to_string(limit) + ", not '" +
             std::string(value) + "'";
    }
    if (field.word) {
      eeprom.fields.*field.word = static_cast<WORD>(*number);
    } else {
      eeprom.fields.*field.byte = static_cast<UCHAR>(*number);
    }
    return std::nullopt;
  }
  return "unknown EEPROM field '" + std::string(name) + "'";
}

}  // namespace klxr::vm
