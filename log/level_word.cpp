#include "log/level_word.h"

#include <cstdlib>

namespace klxr {
namespace {

constexpr std::uint16_t kOverRangeBit = 0x8000;
constexpr std::uint16_t kUnderRangeBit = 0x4000;
constexpr std::uint16_t kValueBits = 0x0FFF;
constexpr std::uint16_t kValueSignBit = 0x0800;

// value / divisor as "<integer part right-aligned in 3>.<fraction digits>", truncated toward zero;
// a negative value keeps its minus sign even when its integer part is 0.
std::string FixedPoint(int value, int divisor, int fractionDigits) {
  const int magnitude = std::abs(value);
  std::string integer = std::to_string(magnitude / divisor);
  if (value < 0) {
    integer.insert(0, 1, '-');
  }
  if (integer.size() < 3) {
    integer.insert(0, 3 - integer.size(), ' ');
  }
  std::string fraction = std::to_string(magnitude % divisor);
  if (fraction.size() < std::size_t(fractionDigits)) {
    fraction.insert(0, std::size_t(fractionDigits) - fraction.size(), '0');
  }
  return integer + "." + fraction;
}

}  // namespace

LevelValue DecodeLevelWord(std::uint16_t word) {
  const bool over = (word & kOverRangeBit) != 0;
  const bool under = (word & kUnderRangeBit) != 0;
  if (over && under) {
    return {};
  }
  int tenths = word & kValueBits;
  if ((word & kValueSignBit) != 0) {
    tenths -= 0x1000;
  }
  return {true, over, under, tenths};
}

LevelTexts FormatLevel(std::uint16_t word) {
  const LevelValue level = DecodeLevelWord(word);
  if (!level.hasValue) {
    return {" ", "", ""};
  }
  LevelTexts texts;
  texts.prefix = level.overRange ? ">" : level.underRange ? "<" : "";
  texts.dbm = FixedPoint(level.tenths, 10, 1);
  texts.dbuv = FixedPoint(level.tenths * 10 + kDbuvOffsetHundredths, 100, 2);
  return texts;
}

}  // namespace klxr
