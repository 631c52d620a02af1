#include "log/level_word.h"

#include <gtest/gtest.h>

#include "samples/record_builder.h"

namespace klxr {
namespace {

struct WordVector {
  std::uint16_t word;
  LevelValue value;
};

TEST(LevelWord, DecodesRangeBitsAndTwelveBitValue) {
  const WordVector vectors[] = {
      {0x0000, {true, false, false, 0}},
      {0xC000, {false, false, false, 0}},     // both range bits: no value
      {0xFFFF, {false, false, false, 0}},     // value bits ignored without a value
      {0x8005, {true, true, false, 5}},       // 0.5 over range
      {0x7FFB, {true, false, true, -5}},      // -0.5 under range; bits 12-13 ignored
      {0x07FF, {true, false, false, 2047}},   // 204.7
      {0x0800, {true, false, false, -2048}},  // -204.8
      {0x3000, {true, false, false, 0}},      // bits 12-13 alone
      {0x0E2D, {true, false, false, -467}},
      {0x011D, {true, false, false, 285}},
  };
  for (const WordVector& vector : vectors) {
    EXPECT_EQ(DecodeLevelWord(vector.word), vector.value) << std::hex << vector.word;
  }
}

struct LevelVector {
  int tenths;
  const char* dbm;
  const char* dbuv;
};

TEST(LevelWord, FormatsDbmAndDbuvWithLeadingSpaces) {
  const LevelVector vectors[] = {
      {0, "  0.0", "108.75"},      {523, " 52.3", "161.05"},    {-5, " -0.5", "108.25"},
      {-455, "-45.5", " 63.25"},   {-1000, "-100.0", "  8.75"}, {-1090, "-109.0", " -0.25"},
      {2047, "204.7", "313.45"},   {-2048, "-204.8", "-96.05"}, {-9, " -0.9", "107.85"},
      {-1, " -0.1", "108.65"},     {-1087, "-108.7", "  0.05"}, {-1088, "-108.8", " -0.05"},
      {-1097, "-109.7", " -0.95"}, {-1098, "-109.8", " -1.05"}, {10, "  1.0", "109.75"},
      {-10, " -1.0", "107.75"},
  };
  for (const LevelVector& vector : vectors) {
    const LevelTexts texts = FormatLevel(samples::MakeLevelWord(vector.tenths));
    EXPECT_EQ(texts.prefix, "") << vector.tenths;
    EXPECT_EQ(texts.dbm, vector.dbm) << vector.tenths;
    EXPECT_EQ(texts.dbuv, vector.dbuv) << vector.tenths;
  }
}

TEST(LevelWord, PrefixMarksTheRange) {
  EXPECT_EQ(FormatLevel(0x8000 | 523), (LevelTexts{">", " 52.3", "161.05"}));
  EXPECT_EQ(FormatLevel(0x7FFB), (LevelTexts{"<", " -0.5", "108.25"}));
  EXPECT_EQ(FormatLevel(0xC000), (LevelTexts{" ", "", ""}));
  EXPECT_EQ(FormatLevel(0xFFFF), (LevelTexts{" ", "", ""}));
  EXPECT_EQ(FormatLevel(0xC123), (LevelTexts{" ", "", ""}));
}

}  // namespace
}  // namespace klxr
