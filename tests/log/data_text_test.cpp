#include "log/data_text.h"

#include <gtest/gtest.h>

#include "log/tidy_export.h"
#include "samples/record_builder.h"

namespace klxr {
namespace {

TEST(DataText, NumbersAreWrittenTheSameWayWhateverTheirRounding) {
  const struct {
    std::string text;
    std::string expected;
  } kCases[] = {
      {DecimalText(-46.7 + 108.75, 2), "62.05"},
      {DecimalText(108.75, 2), "108.75"},
      {DecimalText(-0.5, 2), "-0.5"},
      {DecimalText(-0.001, 2), "0"},
      {DecimalText(0.05, 2), "0.05"},
      {FixedText(62.0, 1), "62.0"},
      {FixedText(-0.04, 1), "0.0"},
      {MegahertzText(482000), "482"},
      {MegahertzText(55250), "55.25"},
      {MegahertzText(593834), "593.834"},
      {MegahertzText(7), "0.007"},
      {BerNumberText(250 * 1e-8), "2.5e-06"},
      {BerNumberText(1e-8), "1e-08"},
      {BerNumberText(0.0), "0"},
      {BerNumberText(12345678 * 1e-8), "0.12345678"},
      {Iso8601Utc(std::chrono::sys_days{std::chrono::year{2026} / 3 / 14} +
                  std::chrono::seconds{9 * 3600 + 26 * 60 + 53}),
       "2026-03-14T09:26:53Z"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.text, c.expected);
  }
}

TEST(DataText, TextsAreConvertedAndQuotedOnlyWhereNeeded) {
  const struct {
    std::string text;
    std::string expected;
  } kCases[] = {
      {Latin1ToUtf8("T\xE9l\xE9 Nord"), "T\xC3\xA9l\xC3\xA9 Nord"},
      {Latin1ToUtf8("\xFF\x80"), "\xC3\xBF\xC2\x80"},
      {CsvField("CH22"), "CH22"},
      {CsvField("A,B"), "\"A,B\""},
      {CsvField("say \"hi\""), "\"say \"\"hi\"\"\""},
      {CsvField("two\nlines"), "\"two\nlines\""},
      {JsonString("a\"b\\c"), "\"a\\\"b\\\\c\""},
      {JsonString(std::string("\x01\t", 2)), "\"\\u0001\\t\""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.text, c.expected);
  }
}

TEST(TidyExport, ARowHoldsNumbersFlagsAndEmptyCellsWhereAFieldDoesNotApply) {
  LogImage image;
  samples::WriteAnalogueRecord(
      image.Slot(0), {'A', 13, -1, 55250, "E2,\xE9", "PAL-B", "", 0x00},
      {samples::MakeLevelWord(-300), samples::MakeLevelWord(-310, samples::LevelRange::Under),
       samples::MakeLevelWord(455, samples::LevelRange::NoValue)});
  const std::string csv = MakeTidyCsvText(image, {"7", "2026-03-14T09:26:53Z", "Roof"});
  const std::string header = csv.substr(0, csv.find('\n'));
  EXPECT_EQ(header.find("frequency_mhz,channel"), header.find("frequency_mhz"));
  EXPECT_EQ(csv.substr(header.size() + 1),
            "7,2026-03-14T09:26:53Z,Roof,0,A,13,-1,55.25,\"E2,\xC3\xA9\",PAL-B,,,0,,78.75,0,0,"
            "77.75,0,1,,0,0,,,,\n");
  const std::string json = MakeRecordsJsonText(image, {});
  EXPECT_NE(json.find("\"survey_id\": null,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"cn_db\": null, \"cn_over\": 0,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"mer_db\": null, \"mer_over\": null,"), std::string::npos) << json;
}

}  // namespace
}  // namespace klxr
