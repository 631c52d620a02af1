#include "log/survey_compare.h"

#include <gtest/gtest.h>

#include "log/comparison_writers.h"
#include "samples/record_builder.h"

namespace klxr {
namespace {

using samples::MakeLevelWord;

// A digital record: level and MER in tenths of dB (level as dBm tenths: 0 is 108.75 dBuV), BER as
// an error count of 1e-8 steps, status as the quality byte (4 PASS, 3 MARGINAL, 2 POOR, 0 FAIL).
struct Digital {
  std::uint32_t frequency;
  const char* channel;
  int level = 0;
  int mer = 300;
  std::uint32_t errors = 0;
  std::uint8_t quality = 4;
};

std::vector<RecordValues> LogOf(std::initializer_list<Digital> records) {
  LogImage image;
  int slot = 0;
  for (const Digital& r : records) {
    samples::DigitalFields fields;
    fields.mode = 64;
    fields.digitalPower = MakeLevelWord(r.level);
    fields.mer = MakeLevelWord(r.mer);
    fields.errorCount = r.errors;
    samples::WriteDigitalRecord(image.Slot(slot),
                                {'D', slot, 0, r.frequency, r.channel, "", "", r.quality}, fields);
    ++slot;
  }
  return RecordValuesOf(image);
}

TEST(SurveyCompare, EachPairGetsItsChangesAndVerdict) {
  const struct {
    const char* name;
    Digital before;
    Digital after;
    double threshold;
    Verdict verdict;
    ChannelMatch match;
    double levelChange;
    double merChange;
    double berDecades;
  } kCases[] = {
      {"level down 2 dB",
       {482000, "CH22", -400},
       {482000, "CH22", -420},
       1,
       Verdict::Worse,
       ChannelMatch::Frequency,
       -2.0,
       0,
       0},
      {"level up 2 dB",
       {482000, "CH22", -400},
       {482000, "CH22", -380},
       1,
       Verdict::Better,
       ChannelMatch::Frequency,
       2.0,
       0,
       0},
      {"level down exactly the threshold",
       {482000, "CH22", -400},
       {482000, "CH22", -410},
       1,
       Verdict::Unchanged,
       ChannelMatch::Frequency,
       -1.0,
       0,
       0},
      {"level down just beyond it",
       {482000, "CH22", -400},
       {482000, "CH22", -411},
       1,
       Verdict::Worse,
       ChannelMatch::Frequency,
       -1.1,
       0,
       0},
      {"a wider threshold",
       {482000, "CH22", -400},
       {482000, "CH22", -420},
       3,
       Verdict::Unchanged,
       ChannelMatch::Frequency,
       -2.0,
       0,
       0},
      {"MER down 1.5 dB",
       {482000, "CH22", -400, 300},
       {482000, "CH22", -400, 285},
       1,
       Verdict::Worse,
       ChannelMatch::Frequency,
       0,
       -1.5,
       0},
      {"level up but MER down: worse wins",
       {482000, "CH22", -400, 300},
       {482000, "CH22", -370, 270},
       1,
       Verdict::Worse,
       ChannelMatch::Frequency,
       3.0,
       -3.0,
       0},
      {"status PASS to POOR",
       {482000, "CH22", -400, 300, 0, 4},
       {482000, "CH22", -400, 300, 0, 2},
       1,
       Verdict::Worse,
       ChannelMatch::Frequency,
       0,
       0,
       0},
      {"status POOR to MARGINAL",
       {482000, "CH22", -400, 300, 0, 2},
       {482000, "CH22", -400, 300, 0, 3},
       1,
       Verdict::Better,
       ChannelMatch::Frequency,
       0,
       0,
       0},
      {"BER up exactly a decade",
       {482000, "CH22", -400, 300, 10},
       {482000, "CH22", -400, 300, 100},
       1,
       Verdict::Unchanged,
       ChannelMatch::Frequency,
       0,
       0,
       1.0},
      {"BER up beyond a decade",
       {482000, "CH22", -400, 300, 10},
       {482000, "CH22", -400, 300, 110},
       1,
       Verdict::Worse,
       ChannelMatch::Frequency,
       0,
       0,
       1.041},
      {"BER from none to one step",
       {482000, "CH22", -400, 300, 0},
       {482000, "CH22", -400, 300, 1},
       1,
       Verdict::Unchanged,
       ChannelMatch::Frequency,
       0,
       0,
       0},
      {"BER down two decades",
       {482000, "CH22", -400, 300, 5000},
       {482000, "CH22", -400, 300, 50},
       1,
       Verdict::Better,
       ChannelMatch::Frequency,
       0,
       0,
       -2.0},
      {"same name, moved frequency",
       {482000, "CH22", -400},
       {490000, "CH22", -400},
       1,
       Verdict::Unchanged,
       ChannelMatch::Channel,
       0,
       0,
       0},
  };
  for (const auto& c : kCases) {
    const SurveyComparison comparison =
        CompareSurveys(LogOf({c.before}), LogOf({c.after}), {c.threshold, 1.0});
    ASSERT_EQ(comparison.channels.size(), 1u) << c.name;
    const ChannelComparison& pair = comparison.channels[0];
    EXPECT_EQ(pair.verdict, c.verdict) << c.name;
    EXPECT_EQ(pair.match, c.match) << c.name;
    EXPECT_NEAR(*pair.level.change, c.levelChange, 1e-9) << c.name;
    EXPECT_NEAR(*pair.mer.change, c.merChange, 1e-9) << c.name;
    EXPECT_NEAR(*pair.ber.change, c.berDecades, 1e-9) << c.name;
    EXPECT_FALSE(pair.carrierToNoise.change) << c.name;
  }
}

TEST(SurveyCompare, UnpairedChannelsAreListedAndCountedApartSortedByFrequency) {
  // CH30 is in both twice: the repeats pair in log order. CH40 moved to 626 MHz (paired by name);
  // CH35 went, CH60 came; an unnamed record at a new frequency pairs with nothing.
  const SurveyComparison comparison = CompareSurveys(
      LogOf({{546000, "CH30", -400}, {546000, "CH30", -500}, {586000, "CH35"}, {618000, "CH40"}}),
      LogOf({{786000, "CH60"},
             {546000, "CH30", -380},
             {626000, "CH40"},
             {546000, "CH30", -520},
             {700000, ""}}),
      {});
  const struct {
    std::uint32_t frequency;
    Verdict verdict;
  } kExpected[] = {{546000, Verdict::Better},     {546000, Verdict::Worse},
                   {586000, Verdict::OnlyBefore}, {618000, Verdict::Unchanged},
                   {700000, Verdict::OnlyAfter},  {786000, Verdict::OnlyAfter}};
  ASSERT_EQ(comparison.channels.size(), std::size(kExpected));
  for (std::size_t i = 0; i < std::size(kExpected); ++i) {
    const ChannelComparison& row = comparison.channels[i];
    EXPECT_EQ((row.before ? row.before : row.after)->frequencyKhz, kExpected[i].frequency) << i;
    EXPECT_EQ(row.verdict, kExpected[i].verdict) << i;
  }
  EXPECT_EQ(comparison.channels[3].match, ChannelMatch::Channel);
  EXPECT_EQ(comparison.better, 1);
  EXPECT_EQ(comparison.worse, 1);
  EXPECT_EQ(comparison.unchanged, 1);
  EXPECT_EQ(comparison.onlyBefore, 1);
  EXPECT_EQ(comparison.onlyAfter, 2);
  EXPECT_EQ(ComparisonSummaryLine(comparison),
            "1 better, 1 worse, 1 unchanged; 1 only before, 2 only after");
}

TEST(ComparisonWriters, TheTableKeepsTo80ColumnsAndShowsMarksAndStatusChanges) {
  const SurveyComparison comparison = CompareSurveys(
      LogOf({{482000, "CHANNEL-10", -400, 300, 250, 3}, {586000, "CH35"}}),
      LogOf({{482000, "CHANNEL-10", -1000, -299, 7000000, 2}, {786000, "CH60"}}), {});
  const std::string table = ComparisonTableText(comparison);
  std::size_t start = 0;
  for (std::size_t end; (end = table.find('\n', start)) != std::string::npos; start = end + 1) {
    EXPECT_LE(end - start, 80u) << table.substr(start, end - start);
  }
  EXPECT_NE(table.find("- CHANNEL-10 482.000  68.8   8.8 -60.0  30.0 -29.9 -59.9 2.5e-6 7.0e-2 "
                       "MARG>POOR\n"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("< CH35       586.000 108.8"), std::string::npos) << table;
  EXPECT_NE(table.find("> CH60       786.000       108.8   "), std::string::npos) << table;
}

}  // namespace
}  // namespace klxr
