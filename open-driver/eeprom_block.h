// The adapter's EEPROM as the driver's FT_PROGRAM_DATA block, read and written through libftdi1's
// EEPROM functions. libftdi1 decodes the fields; the four strings and the Plug and Play byte are
// taken from the raw image here, where a missing string cannot crash the decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "link/d2xx_api.h"

struct ftdi_context;

namespace klxr::open_driver {

// The three strings of an FT232R image: USB string descriptors at the offsets and lengths that
// bytes 0x0E to 0x13 give. A missing or malformed descriptor gives an empty text.
struct ImageStrings {
  std::string manufacturer;
  std::string description;
  std::string serialNumber;
};
ImageStrings DecodeImageStrings(std::span<const std::uint8_t> image);

// The Plug and Play byte, written after the serial number descriptor and two marker bytes; 0 when
// the image carries no serial number.
std::uint16_t DecodePlugAndPlay(std::span<const std::uint8_t> image);

// The manufacturer id the driver reports: the letters that start the serial number (at most 15).
std::string ManufacturerIdOf(const std::string& serialNumber);

// Copies text into a caller's buffer of `size` bytes, cut short if need be, always terminated.
void CopyToBuffer(const std::string& text, char* buffer, std::size_t size);
// The text in a caller's buffer, read no further than `size` bytes.
std::string ReadBuffer(const char* buffer, std::size_t size);

// FT_INVALID_PARAMETER for a missing block, a wrong signature, a version above 5 or a missing
// string buffer; FT_OK otherwise.
d2xx::FT_STATUS CheckBlock(const d2xx::FT_PROGRAM_DATA* block);

// FT_EE_Read on an open adapter: fills the block as far as its Version asks and the four string
// buffers. FT_EEPROM_READ_FAILED when the chip does not answer, FT_EEPROM_NOT_PROGRAMMED when the
// image is blank or its checksum is wrong.
d2xx::FT_STATUS ReadEepromBlock(ftdi_context* context, d2xx::FT_PROGRAM_DATA* block);

// FT_EE_Program: the block's fields and strings over the adapter's present image (fields the block
// does not carry are kept), rebuilt with its checksum and written. FT_EEPROM_WRITE_FAILED when the
// image cannot be built (strings too long) or written.
d2xx::FT_STATUS ProgramEepromBlock(ftdi_context* context, const d2xx::FT_PROGRAM_DATA* block);

}  // namespace klxr::open_driver
