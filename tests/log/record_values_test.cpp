#include "log/record_values.h"

#include <gtest/gtest.h>

#include "samples/record_builder.h"

namespace klxr {
namespace {

using samples::LevelRange;
using samples::MakeLevelWord;

TEST(RecordValues, LevelWordsBecomeNumbersWithTheirRangeMarksApart) {
  const struct {
    std::uint16_t word;
    Measurement power;  // dBuV
    Measurement ratio;  // dB
  } kCases[] = {
      {MakeLevelWord(-467), {62.05}, {-46.7}},
      {MakeLevelWord(0), {108.75}, {0.0}},
      {MakeLevelWord(-5), {108.25}, {-0.5}},
      {MakeLevelWord(285, LevelRange::Over), {137.25, true, false}, {28.5, true, false}},
      {MakeLevelWord(-700, LevelRange::Under), {38.75, false, true}, {-70.0, false, true}},
      {MakeLevelWord(123, LevelRange::NoValue), {}, {}},
  };
  for (const auto& c : kCases) {
    const Measurement power = PowerInDbuv(c.word);
    const Measurement ratio = RatioInDb(c.word);
    ASSERT_EQ(power.value.has_value(), c.power.value.has_value()) << c.word;
    if (power.value) {
      EXPECT_NEAR(*power.value, *c.power.value, 1e-9) << c.word;
      EXPECT_NEAR(*ratio.value, *c.ratio.value, 1e-9) << c.word;
    }
    EXPECT_EQ(power.overRange, c.power.overRange) << c.word;
    EXPECT_EQ(power.underRange, c.power.underRange) << c.word;
    EXPECT_EQ(ratio.overRange, c.ratio.overRange) << c.word;
  }
}

TEST(RecordValues, EachKindFillsItsOwnFieldsAndTheRunEndsAtTheFirstUncountedSlot) {
  LogImage image;
  samples::DigitalFields digital;
  digital.mode = 64;
  digital.digitalPower = MakeLevelWord(-467);
  digital.mer = MakeLevelWord(285);
  digital.errorCount = 250;
  samples::WriteDigitalRecord(image.Slot(0), {'D', 12, 3, 482000, "CH22", "DVB-T", "MUX1", 0x04},
                              digital);
  samples::WriteAnalogueRecord(
      image.Slot(1), {'A', 13, -1, 55250, "E2", "PAL-B", "", 0x00},
      {MakeLevelWord(-300), MakeLevelWord(-310, LevelRange::Under), MakeLevelWord(455)});
  samples::WriteDigitalRecord(image.Slot(2), {'V', 14, 0, 690000, "CH48", "DVB-T2", "", 0x00},
                              digital);
  samples::WriteNamesOnlyRecord(image.Slot(3), {'E', 15, 0, 700000, "CH49", "", "", 0});
  samples::WriteDigitalRecord(image.Slot(4), {'D', 16, 0, 706000, "CH50", "", "", 0x04}, digital);

  const std::vector<RecordValues> values = RecordValuesOf(image);
  ASSERT_EQ(values.size(), 3u);
  const RecordValues& d = values[0];
  EXPECT_EQ(d.slot, 0);
  EXPECT_EQ(d.kind, 'D');
  EXPECT_EQ(d.sequence, 12);
  EXPECT_EQ(d.subSequence, 3);
  EXPECT_EQ(d.frequencyKhz, 482000u);
  EXPECT_EQ(d.channel, "CH22");
  EXPECT_EQ(d.standard, "DVB-T");
  EXPECT_EQ(d.multiplex, "MUX1");
  EXPECT_EQ(d.status, "PASS");
  EXPECT_EQ(d.modulation, "QAM64");
  EXPECT_NEAR(*d.level.value, 62.05, 1e-9);
  EXPECT_NEAR(*d.mer.value, 28.5, 1e-9);
  EXPECT_NEAR(*d.ber, 2.5e-6, 1e-18);
  EXPECT_FALSE(d.audioLevel.value || d.carrierToNoise.value);

  const RecordValues& a = values[1];
  EXPECT_EQ(a.kind, 'A');
  EXPECT_EQ(a.subSequence, -1);
  EXPECT_EQ(a.status, "");
  EXPECT_NEAR(*a.level.value, 78.75, 1e-9);
  EXPECT_NEAR(*a.audioLevel.value, 77.75, 1e-9);
  EXPECT_TRUE(a.audioLevel.underRange);
  EXPECT_NEAR(*a.carrierToNoise.value, 45.5, 1e-9);
  EXPECT_FALSE(a.mer.value || a.ber);

  // A meter that did not lock: status FAIL and no modulation name.
  EXPECT_EQ(values[2].status, "FAIL");
  EXPECT_EQ(values[2].modulation, "");
  EXPECT_EQ(ValuesOfSlot(image, 3), std::nullopt);
  EXPECT_EQ(ValuesOfSlot(image, kSlotCount), std::nullopt);
}

}  // namespace
}  // namespace klxr
