// LevelWord: the meter's 16-bit level encoding. Bit 15 marks over range (the true level is above
// the value), bit 14 under range (below it), both together no value at all; bits 12-13 are not
// interpreted; bits 0-11 hold a two's-complement value in tenths of dBm (power) or dB (ratio),
// -2048 to 2047.
#pragma once

#include <cstdint>
#include <string>

namespace klxr {

struct LevelValue {
  bool hasValue = false;    // false when both range bits are set
  bool overRange = false;   // bit 15, only with a value
  bool underRange = false;  // bit 14, only with a value
  int tenths = 0;           // bits 0-11, sign-extended; 0 without a value
  bool operator==(const LevelValue&) const = default;
};

LevelValue DecodeLevelWord(std::uint16_t word);

// dBm to dBuV in a 75-ohm system, in hundredths of a dB: a level of v tenths of dBm is
// 10 x v + kDbuvOffsetHundredths hundredths of dBuV.
inline constexpr int kDbuvOffsetHundredths = 10875;

// The texts of a level: the range prefix (">" over, "<" under, " " for no value, else empty), the
// value in dBm (or dB for a ratio word) with one decimal, and in dBuV with two decimals (dBm plus
// 108.75, the offset of a 75-ohm system). The integer parts are right-aligned in at least three
// characters and keep their minus sign also when they are 0 ("-0.5"). Without a value both value
// texts are empty.
struct LevelTexts {
  std::string prefix;
  std::string dbm;
  std::string dbuv;
  bool operator==(const LevelTexts&) const = default;
};

LevelTexts FormatLevel(std::uint16_t word);

}  // namespace klxr
