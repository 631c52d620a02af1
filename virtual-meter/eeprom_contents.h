// The EEPROM of a simulated USB adapter: the data fields of the driver's FT_PROGRAM_DATA block
// (its string pointers unused) and the four strings, owned here. FT_EE_Read copies it into the
// caller's block and string buffers; FT_EE_Program stores the caller's block.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "link/d2xx_api.h"

namespace klxr::vm {

// The product description the meter lead carries.
inline constexpr std::string_view kMeterLeadDescription = "Quorvel KLXR";
// The description an adapter chip carries when new.
inline constexpr std::string_view kFactoryDescription = "USB Serial Converter";

struct EepromContents {
  d2xx::FT_PROGRAM_DATA fields{};  // the string pointers stay null
  std::string manufacturer;
  std::string manufacturerId;
  std::string description;
  std::string serialNumber;
};

// The lead as the meter link needs it: PnP 0, bus-powered, DTR inverted, RXD and TXD not inverted,
// CBUS4 the SLEEP signal, description "Quorvel KLXR". `serial` makes the serial number differ
// between several adapters.
EepromContents MeterLeadEeprom(int serial = 0);
// A new adapter chip: Plug and Play on, DTR not inverted, the chip's own description.
EepromContents FactoryDefaultEeprom(int serial = 0);

// FT_EE_Read: fills the caller's block as far as its Version asks (0: FT232B fields, 1: FT2232,
// 2: FT232R, 3 to 5: later chips, filled with zeros) and copies the strings into its buffers
// (32, 16, 64 and 16 bytes, always terminated). FT_INVALID_PARAMETER for a wrong signature, an
// unknown version or a missing string buffer; the block is then left as it was.
d2xx::FT_STATUS ReadEeprom(const EepromContents& eeprom, d2xx::FT_PROGRAM_DATA& block);

// FT_EE_Program: stores the caller's block (the fields its Version carries) and the strings its
// pointers lead to, each read no further than its buffer size. Same parameter checks as ReadEeprom;
// the EEPROM is unchanged on failure.
d2xx::FT_STATUS ProgramEeprom(const d2xx::FT_PROGRAM_DATA& block, EepromContents& eeprom);

// Sets one field by its name in FT_PROGRAM_DATA ("PnP", "InvertDTR", "Cbus4", "Description", ...).
// Numbers are decimal or 0x-prefixed hexadecimal. Returns an error text, or nothing on success.
std::optional<std::string> SetEepromField(EepromContents& eeprom, std::string_view name,
                                          std::string_view value);

}  // namespace klxr::vm
