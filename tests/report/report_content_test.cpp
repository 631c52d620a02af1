#include "report/report_content.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "log/record_format.h"
#include "report/report_table_layout.h"
#include "samples/record_builder.h"
#include "samples/sample_logs.h"

namespace klxr::report {
namespace {

using samples::LevelRange;
using samples::MakeLevelWord;

constexpr std::uint8_t kUnitsShown[] = {kUnitsDbm, kUnitsDbuv};

void WriteDigital(LogImage& image, int slot, std::uint8_t kind, std::uint8_t status,
                  std::uint16_t power, std::uint16_t mer, std::uint32_t errors,
                  const std::string& channel = "CH40") {
  samples::WriteDigitalRecord(
      image.Slot(slot), {kind, slot, 0, 626000, channel, "DVB-T", "MUX", status},
      {.mode = 64, .digitalPower = power, .mer = mer, .errorCount = errors});
}

void WriteAnalogue(LogImage& image, int slot, std::uint16_t video, std::uint16_t audio,
                   const std::string& channel = "CH21") {
  samples::WriteAnalogueRecord(image.Slot(slot),
                               {'A', slot, 0, 471250, channel, "PAL-I", "BBC", 0x04},
                               {video, audio, MakeLevelWord(450), 0});
}

// The display line's field k of record index.
std::string DisplayField(const LogImage& image, int index, std::uint8_t units, std::size_t k) {
  DecodedEntry entry;
  FormatRecord(image, index, entry, units);
  std::size_t start = 0;
  for (std::size_t field = 0; field < k; ++field) {
    start = entry.DisplayLine.find('\t', start) + 1;
  }
  const std::size_t end = entry.DisplayLine.find('\t', start);
  std::string text = entry.DisplayLine.substr(start, end - start);
  std::erase(text, ' ');
  return text;
}

TEST(ReportStatus, EveryQualityHasTheClassOfItsStatusText) {
  const StatusClass expected[8] = {StatusClass::Fail,     StatusClass::Fail, StatusClass::Poor,
                                   StatusClass::Marginal, StatusClass::Pass, StatusClass::Pass,
                                   StatusClass::None,     StatusClass::None};
  for (int quality = 0; quality < 8; ++quality) {
    EXPECT_EQ(ClassifyStatus(StatusText(quality)), expected[quality]) << quality;
  }
  EXPECT_EQ(ClassifyStatus("pass"), StatusClass::None);
  EXPECT_EQ(StatusClassName(StatusClass::None), "none");
  EXPECT_EQ(StatusClassName(StatusClass::Marginal), "MARGINAL");
}

TEST(ReportSummary, CountsKindsAndStatusesOfTheCountedRecordsOnly) {
  LogImage image;
  WriteAnalogue(image, 0, MakeLevelWord(-300), MakeLevelWord(-400));  // status byte ignored
  WriteDigital(image, 1, 'D', 0x04, MakeLevelWord(-500), MakeLevelWord(300), 0);
  WriteDigital(image, 2, 'V', 0x03, MakeLevelWord(-500), MakeLevelWord(300), 0);
  WriteDigital(image, 3, 'D', 0xF6, MakeLevelWord(-500), MakeLevelWord(300), 0);  // quality 6
  WriteDigital(image, 4, 'D', 0x00, MakeLevelWord(-500), MakeLevelWord(300), 0);
  WriteDigital(image, 5, 'D', 0x02, MakeLevelWord(-500), MakeLevelWord(300), 0);
  WriteDigital(image, 6, 'D', 0x05, MakeLevelWord(-500), MakeLevelWord(300), 0);

  const ReportSummary all = SummarizeLog(image, 7);
  EXPECT_EQ(all.records, 7);
  EXPECT_EQ(all.analogue, 1);
  EXPECT_EQ(all.digital, 6);
  //                 Pass Marginal Fail Poor None
  EXPECT_EQ(all.byStatus, (std::array<int, 5>{2, 1, 1, 1, 2}));

  const ReportSummary three = SummarizeLog(image, 3);
  EXPECT_EQ(three, (ReportSummary{3, 1, 2, {1, 1, 0, 0, 1}}));
  EXPECT_EQ(SummarizeLog(image, 0), ReportSummary{});
}

TEST(ReportLevelBars, TakeTheRightWordAndTheFormattersTextInEachUnit) {
  struct Case {
    std::uint16_t word;
    std::uint8_t units;
    bool hasValue;
    double value;
    RangeMark mark;
    const char* text;
  };
  const Case cases[] = {
      {MakeLevelWord(523, LevelRange::Over), kUnitsDbm, true, 52.3, RangeMark::Over, ">52.3"},
      {MakeLevelWord(523, LevelRange::Over), kUnitsDbuv, true, 161.05, RangeMark::Over, ">161.05"},
      {MakeLevelWord(-455, LevelRange::Under), kUnitsDbm, true, -45.5, RangeMark::Under, "<-45.5"},
      {MakeLevelWord(-455), kUnitsDbuv, true, 63.25, RangeMark::None, "63.25"},
      {MakeLevelWord(-5), kUnitsDbm, true, -0.5, RangeMark::None, "-0.5"},
      {MakeLevelWord(-1090), kUnitsDbuv, true, -0.25, RangeMark::None, "-0.25"},
      {MakeLevelWord(0, LevelRange::NoValue), kUnitsDbm, false, 0, RangeMark::None, ""},
      {MakeLevelWord(0, LevelRange::NoValue), kUnitsDbuv, false, 0, RangeMark::None, ""},
  };
  for (const Case& c : cases) {
    LogImage image;
    // The analogue bar is the video power, not the audio; the digital one the power, not the MER.
    WriteAnalogue(image, 0, c.word, MakeLevelWord(-700), "CH\xC9");
    WriteDigital(image, 1, 'V', 0x03, c.word, MakeLevelWord(-700), 0, "CH62");
    const std::vector<ChartBar> bars = LevelBars(image, 2, c.units);
    ASSERT_EQ(bars.size(), 2u);
    for (const ChartBar& bar : bars) {
      SCOPED_TRACE(c.text);
      EXPECT_EQ(bar.hasValue, c.hasValue);
      EXPECT_NEAR(bar.value, c.value, 1e-9);
      EXPECT_EQ(bar.mark, c.mark);
      EXPECT_EQ(bar.valueText, c.text);
    }
    EXPECT_EQ(bars[0].channel, "CH\xC9");
    EXPECT_EQ(bars[0].status, StatusClass::None);  // analogue records have no status
    EXPECT_EQ(bars[1].channel, "CH62");
    EXPECT_EQ(bars[1].status, StatusClass::Marginal);
  }
}

// Across a realistic log, every bar's text is the text of its column in the viewer's line, and the
// bars run by frequency, records of one frequency in log order.
TEST(ReportBars, SayWhatTheDisplayLineSaysForEveryRecordOfARealisticLog) {
  const LogImage image = samples::MakeRealisticLog(200, 11);
  std::vector<int> byFrequency(200);
  std::iota(byFrequency.begin(), byFrequency.end(), 0);
  std::stable_sort(byFrequency.begin(), byFrequency.end(), [&](int a, int b) {
    DecodedEntry first;
    DecodedEntry second;
    FormatRecord(image, a, first, kUnitsDbm);
    FormatRecord(image, b, second, kUnitsDbm);
    return first.Frequency < second.Frequency;
  });
  ASSERT_FALSE(std::is_sorted(byFrequency.begin(), byFrequency.end()));  // the log is not
  for (std::uint8_t units : kUnitsShown) {
    const std::vector<ChartBar> level = LevelBars(image, 200, units);
    const std::vector<ChartBar> mer = MerBars(image, 200);
    const std::vector<ChartBar> ber = BerBars(image, 200);
    ASSERT_EQ(level.size(), 200u);
    std::size_t digital = 0;
    for (std::size_t bar = 0; bar < byFrequency.size(); ++bar) {
      const int index = byFrequency[bar];
      DecodedEntry entry;
      FormatRecord(image, index, entry, units);
      EXPECT_EQ(level[bar].frequency, entry.Frequency) << index;
      const bool isDigital = entry.Kind != 'A';
      const std::size_t mark = isDigital ? 13 : 7;
      EXPECT_EQ(level[bar].valueText, DisplayField(image, index, units, mark) +
                                          DisplayField(image, index, units, mark + 1))
          << index;
      if (isDigital) {
        ASSERT_LT(digital, mer.size());
        EXPECT_EQ(mer[digital].valueText,
                  DisplayField(image, index, units, 15) + DisplayField(image, index, units, 16));
        EXPECT_EQ(ber[digital].valueText, DisplayField(image, index, units, 17));
        EXPECT_DOUBLE_EQ(ber[digital].value, entry.ErrorCount * 1e-8);
        ++digital;
      }
    }
    EXPECT_EQ(mer.size(), digital);
    EXPECT_EQ(ber.size(), digital);
  }
}

TEST(ReportAxes, LinearAxesHoldEveryValueOnWholeTicksWithRoomUnderTheLowestBar) {
  struct Case {
    std::vector<double> values;
    bool fromZero;
    LinearAxis expected;
  };
  const Case cases[] = {
      {{-60.1, -30.2}, false, {-65, -30, 5}},
      {{-60, -30}, false, {-65, -30, 5}},  // -60 on a tick: one more step below it
      {{62.05, 161.05, 98.75}, false, {60, 170, 10}},
      {{-45.5}, false, {-46, -45, 1}},
      {{28.5, 35.0}, true, {0, 35, 5}},
      {{-3.0, 12.4}, true, {-4, 14, 2}},
      {{}, false, {0, 10, 2}},
      {{}, true, {0, 10, 2}},
  };
  const double zero = 0;
  for (const Case& c : cases) {
    std::vector<ChartBar> bars;
    for (double value : c.values) {
      bars.push_back({.hasValue = true, .value = value});
    }
    bars.push_back({.hasValue = false, .value = -999});  // a gap does not stretch the axis
    const LinearAxis axis = ChooseLinearAxis(bars, c.fromZero ? &zero : nullptr);
    EXPECT_EQ(axis, c.expected) << (c.values.empty() ? 0 : c.values.front());
  }
}

TEST(ReportAxes, FractionsAreClampedToTheAxis) {
  const LinearAxis axis{-65, -30, 5};
  EXPECT_DOUBLE_EQ(AxisFraction(axis, -65), 0);
  EXPECT_DOUBLE_EQ(AxisFraction(axis, -30), 1);
  EXPECT_DOUBLE_EQ(AxisFraction(axis, -47.5), 0.5);
  EXPECT_DOUBLE_EQ(AxisFraction(axis, -204.8), 0);
  EXPECT_DOUBLE_EQ(AxisFraction(axis, 204.7), 1);
  EXPECT_DOUBLE_EQ(AxisFraction(LinearAxis{1, 1, 1}, 1), 0);
}

TEST(ReportAxes, TheBerAxisSpansWholeDecadesAndKeepsZeroAtItsFoot) {
  struct Case {
    std::vector<std::uint32_t> counts;
    LogAxis expected;
  };
  const Case cases[] = {
      {{250, 1, 0}, {-9, -5}},           // 2.5E-6 and 1E-8: a decade below the smallest
      {{0, 0}, {-8, -2}},                // nothing above 0
      {{4294967295u}, {0, 2}},           // 4.29E+001
      {{100000}, {-4, -2}},              // 1E-3 alone: at least two decades
      {{1000000, 1000000000}, {-3, 1}},  // 1E-2 and 1E+1 on their own decades
  };
  for (const Case& c : cases) {
    std::vector<ChartBar> bars;
    for (std::uint32_t count : c.counts) {
      bars.push_back({.hasValue = true, .value = count * 1e-8});
    }
    EXPECT_EQ(ChooseLogAxis(bars), c.expected) << c.counts.front();
  }
  const LogAxis axis{-9, -5};
  EXPECT_DOUBLE_EQ(AxisFraction(axis, 0), 0);
  EXPECT_NEAR(AxisFraction(axis, 1e-8), 0.25, 1e-12);
  EXPECT_NEAR(AxisFraction(axis, 1e-5), 1, 1e-12);
  EXPECT_DOUBLE_EQ(AxisFraction(axis, 42.9), 1);
  EXPECT_DOUBLE_EQ(AxisFraction(axis, 1e-12), 0);
}

TEST(ReportPages, ChartsFillTheFirstPageThenTheirOwnThenTheTableFollows) {
  struct Case {
    int strips;
    int rows;
    PageCapacity capacity;
    std::vector<ReportPage> expected;
  };
  const Case cases[] = {
      {3, 0, {3, 4, 85}, {{0, 3, 0, 0, false}, {0, 0, 0, 0, true}}},  // headings only
      {3, 40, {3, 4, 85}, {{0, 3, 0, 0, false}, {0, 0, 0, 40, true}}},
      {4, 85, {3, 4, 85}, {{0, 3, 0, 0, false}, {3, 1, 0, 0, false}, {0, 0, 0, 85, true}}},
      {10,
       200,
       {3, 4, 85},
       {{0, 3, 0, 0, false},
        {3, 4, 0, 0, false},
        {7, 3, 0, 0, false},
        {0, 0, 0, 85, true},
        {0, 0, 85, 85, true},
        {0, 0, 170, 30, true}}},
      {2,
       1,
       {0, 0, 0},
       {{0, 0, 0, 0, false},
        {0, 1, 0, 0, false},
        {1, 1, 0, 0, false},
        {0, 0, 0, 1, true}}},  // capacities below one still make progress
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlanPages(c.strips, c.rows, c.capacity), c.expected) << c.strips << " " << c.rows;
  }
}

TEST(ReportPages, ChartsTakeWholeStripsAndAtLeastOne) {
  const int cases[][3] = {{0, 40, 1},  {1, 40, 1},     {40, 40, 1},
                          {41, 40, 2}, {1568, 40, 40}, {5, 0, 5}};
  for (const auto& c : cases) {
    EXPECT_EQ(StripCount(c[0], c[1]), c[2]) << c[0] << " " << c[1];
  }
}

TEST(ReportTable, ColumnsAndHeadingsStandWhereTheViewersDo) {
  const std::vector<double> lefts = TableColumnLefts(598);
  ASSERT_EQ(lefts.size(), 19u);
  EXPECT_EQ(lefts.front(), 0);
  EXPECT_EQ(lefts[1], 40);
  EXPECT_EQ(lefts.back(), 558);
  EXPECT_DOUBLE_EQ(TableColumnLefts(299)[2], 45);

  for (std::uint8_t units : kUnitsShown) {
    const std::vector<TableHeading> headings = TableHeadings(units, 598);
    std::vector<std::string> names;
    int unitLines = 0;
    for (const TableHeading& heading : headings) {
      if (heading.unitLine) {
        ++unitLines;
        EXPECT_EQ(heading.text, units == kUnitsDbuv ? "dBuV" : "dBm");
      } else {
        names.emplace_back(heading.text);
      }
    }
    EXPECT_EQ(unitLines, 3);
    EXPECT_EQ(names, (std::vector<std::string>{"Seq Num", "Frequency", "Channel", "Spec", "Mux",
                                               "Status", "Quality", "Vid. Pwr", "Aud. Pwr", "Mode",
                                               "PLP Mode", "Dig. Pwr", "MER/CN", "BER"}));
    EXPECT_EQ(headings.front().left, 0);  // "Seq Num" at the list's left edge
  }
}

TEST(ReportTable, AFieldRunsOnUpToTheNextTextLessTheGap) {
  const std::vector<double> lefts = TableColumnLefts(598);
  std::vector<bool> empty(18, false);
  EXPECT_DOUBLE_EQ(FieldRoom(lefts, empty, 0, 598, 2), 38);  // up to "Frequency", less the gap
  // The table draws a range mark and its value as one text; a mark alone keeps the gap too.
  EXPECT_DOUBLE_EQ(FieldRoom(lefts, empty, 7, 598, 2), 4);
  EXPECT_DOUBLE_EQ(FieldRoom(lefts, empty, 17, 598, 2), 598 - 547.0);
  empty[5] = empty[6] = empty[7] = true;  // an analogue line's empty status, quality and mark
  EXPECT_DOUBLE_EQ(FieldRoom(lefts, empty, 4, 598, 2), 321 - 2 - 178.0);
  EXPECT_DOUBLE_EQ(FieldRoom(lefts, empty, 19, 598, 2), 0);
}

}  // namespace
}  // namespace klxr::report
