// The pure parts of the EEPROM translation: strings and the Plug and Play byte from a raw FT232R
// image, the manufacturer id, bounded copies and the block's parameter check.
#include "open-driver/eeprom_block.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace klxr::open_driver {
namespace {

using Image = std::array<std::uint8_t, 128>;

// Puts a string descriptor for text at offset and points the field at it, as the chip's image
// does (offset with its top bit set).
void PutString(Image& image, std::size_t field, std::size_t offset, const std::string& text) {
  const std::size_t length = 2 + 2 * text.size();
  image[field] = static_cast<std::uint8_t>(0x80 | offset);
  image[field + 1] = static_cast<std::uint8_t>(length);
  image[offset] = static_cast<std::uint8_t>(length);
  image[offset + 1] = 0x03;
  for (std::size_t i = 0; i < text.size(); ++i) {
    image[offset + 2 + 2 * i] = static_cast<std::uint8_t>(text[i]);
  }
}

Image ImageWith(const std::string& manufacturer, const std::string& description,
                const std::string& serial, std::uint8_t plugAndPlay) {
  Image image{};
  std::size_t at = 0x18;
  PutString(image, 0x0E, at, manufacturer);
  at += 2 + 2 * manufacturer.size();
  PutString(image, 0x10, at, description);
  at += 2 + 2 * description.size();
  PutString(image, 0x12, at, serial);
  at += 2 + 2 * serial.size();
  image[at] = 0x02;
  image[at + 1] = 0x03;
  image[at + 2] = plugAndPlay;
  return image;
}

TEST(EepromBlock, DecodesTheStringsAndThePlugAndPlayByte) {
  const struct {
    const char* manufacturer;
    const char* description;
    const char* serial;
    std::uint8_t plugAndPlay;
  } cases[] = {
      {"Quorvel", "Quorvel KLXR", "QV104512", 0},
      {"Quorvel", "USB Serial Converter", "QV104512", 1},
      {"", "", "", 1},
      {"A", "B", "C", 2},
  };
  for (const auto& c : cases) {
    const Image image = ImageWith(c.manufacturer, c.description, c.serial, c.plugAndPlay);
    const ImageStrings strings = DecodeImageStrings(image);
    EXPECT_EQ(strings.manufacturer, c.manufacturer);
    EXPECT_EQ(strings.description, c.description);
    EXPECT_EQ(strings.serialNumber, c.serial);
    EXPECT_EQ(DecodePlugAndPlay(image), c.plugAndPlay) << c.description;
  }
}

TEST(EepromBlock, MalformedDescriptorsGiveEmptyTexts) {
  const Image good = ImageWith("Quorvel", "Quorvel KLXR", "QV1", 0);
  const struct {
    const char* name;
    void (*spoil)(Image&);
  } cases[] = {
      {"length past the image", [](Image& i) { i[0x11] = 0xF0; }},
      {"length byte disagrees", [](Image& i) { i[i[0x10] & 0x7F] = 4; }},
      {"not a string descriptor", [](Image& i) { i[(i[0x10] & 0x7F) + 1] = 0x01; }},
      {"length below the header", [](Image& i) { i[0x11] = 1; }},
  };
  for (const auto& c : cases) {
    Image image = good;
    c.spoil(image);
    const ImageStrings strings = DecodeImageStrings(image);
    EXPECT_EQ(strings.description, "") << c.name;
    EXPECT_EQ(strings.manufacturer, "Quorvel") << c.name;
  }
  EXPECT_EQ(DecodeImageStrings(std::span<const std::uint8_t>(good.data(), 0x10)).manufacturer, "");
  Image blank{};
  EXPECT_EQ(DecodePlugAndPlay(blank), 0);
}

TEST(EepromBlock, ManufacturerIdIsTheSerialNumbersLeadingLetters) {
  const struct {
    const char* serial;
    const char* id;
  } cases[] = {{"QV104512", "QV"},
               {"FTA1B2", "FTA"},
               {"12345", ""},
               {"", ""},
               {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNO"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ManufacturerIdOf(c.serial), c.id) << c.serial;
  }
}

TEST(EepromBlock, CopiesStayInsideTheirBuffers) {
  const struct {
    std::string text;
    std::size_t size;
    std::string expected;
  } cases[] = {{"Quorvel", 32, "Quorvel"},
               {"Quorvel KLXR", 8, "Quorvel"},
               {"x", 1, ""},
               {std::string(70, 'd'), 64, std::string(63, 'd')}};
  for (const auto& c : cases) {
    std::vector<char> buffer(c.size + 1, '#');
    CopyToBuffer(c.text, buffer.data(), c.size);
    EXPECT_EQ(std::string(buffer.data()), c.expected);
    EXPECT_EQ(buffer[c.size], '#');
  }
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(ReadBuffer(unterminated, 4), "abcd");
  EXPECT_EQ(ReadBuffer("ab\0cd", 5), "ab");
  EXPECT_EQ(ReadBuffer(nullptr, 4), "");
}

TEST(EepromBlock, BlockCheck) {
  char a[32], b[16], c[64], d[16];
  d2xx::FT_PROGRAM_DATA good{};
  good.Signature2 = 0xFFFFFFFFu;
  good.Version = 2;
  good.Manufacturer = a;
  good.ManufacturerId = b;
  good.Description = c;
  good.SerialNumber = d;
  EXPECT_EQ(CheckBlock(&good), d2xx::FT_OK);
  EXPECT_EQ(CheckBlock(nullptr), d2xx::FT_INVALID_PARAMETER);
  const struct {
    const char* name;
    void (*spoil)(d2xx::FT_PROGRAM_DATA&);
    d2xx::FT_STATUS expected;
  } cases[] = {
      {"version 0", [](d2xx::FT_PROGRAM_DATA& p) { p.Version = 0; }, d2xx::FT_OK},
      {"version 5", [](d2xx::FT_PROGRAM_DATA& p) { p.Version = 5; }, d2xx::FT_OK},
      {"version 6", [](d2xx::FT_PROGRAM_DATA& p) { p.Version = 6; }, d2xx::FT_INVALID_PARAMETER},
      {"signature 1", [](d2xx::FT_PROGRAM_DATA& p) { p.Signature1 = 5; },
       d2xx::FT_INVALID_PARAMETER},
      {"signature 2", [](d2xx::FT_PROGRAM_DATA& p) { p.Signature2 = 0; },
       d2xx::FT_INVALID_PARAMETER},
      {"manufacturer", [](d2xx::FT_PROGRAM_DATA& p) { p.Manufacturer = nullptr; },
       d2xx::FT_INVALID_PARAMETER},
      {"manufacturer id", [](d2xx::FT_PROGRAM_DATA& p) { p.ManufacturerId = nullptr; },
       d2xx::FT_INVALID_PARAMETER},
      {"serial number", [](d2xx::FT_PROGRAM_DATA& p) { p.SerialNumber = nullptr; },
       d2xx::FT_INVALID_PARAMETER},
  };
  for (const auto& c2 : cases) {
    d2xx::FT_PROGRAM_DATA block = good;
    c2.spoil(block);
    EXPECT_EQ(CheckBlock(&block), c2.expected) << c2.name;
  }
}

}  // namespace
}  // namespace klxr::open_driver
