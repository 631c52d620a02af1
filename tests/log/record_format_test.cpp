#include "log/record_format.h"

#include <gtest/gtest.h>

#include "log/record_lines.h"
#include "samples/record_builder.h"

namespace klxr {
namespace {

using samples::AnalogueFields;
using samples::CommonFields;
using samples::DigitalFields;
using samples::LevelRange;
using samples::MakeLevelWord;

// The worked kind 'D' example: 0012-03 at 482000 kHz, PASS, QAM64, -46.7 dBm, MER 28.5, 250 errors.
CommonFields WorkedCommon() {
  return {'D', 12, 3, 482000, "CH22", "DVB-T", "MUX1", 0x04};
}
DigitalFields WorkedDigital() {
  DigitalFields fields;
  fields.mode = 64;
  fields.plpMode = 64;
  fields.digitalPower = 0x0E2D;
  fields.mer = 0x011D;
  fields.errorCount = 250;
  return fields;
}

DecodedEntry FormatDigital(const CommonFields& common, const DigitalFields& fields,
                           std::uint8_t units = kUnitsDbm) {
  LogImage image;
  samples::WriteDigitalRecord(image.Slot(0), common, fields);
  DecodedEntry entry;
  EXPECT_TRUE(FormatRecord(image, 0, entry, units));
  return entry;
}

DecodedEntry FormatAnalogue(const CommonFields& common, const AnalogueFields& fields,
                            std::uint8_t units = kUnitsDbm) {
  LogImage image;
  samples::WriteAnalogueRecord(image.Slot(0), common, fields);
  DecodedEntry entry;
  EXPECT_TRUE(FormatRecord(image, 0, entry, units));
  return entry;
}

TEST(FormatRecord, WorkedDigitalExampleInBothUnits) {
  const std::string common =
      "0012-03\t482000\tCH22\tDVB-T\tMUX1\tPASS\t****\t\t\t\t\tQAM64\tQAM64\t\t";
  EXPECT_EQ(FormatDigital(WorkedCommon(), WorkedDigital(), kUnitsDbm).DisplayLine,
            common + "-46.7\t\t 28.5\t2.50E-006");
  const DecodedEntry dbuv = FormatDigital(WorkedCommon(), WorkedDigital(), kUnitsDbuv);
  EXPECT_EQ(dbuv.DisplayLine, common + " 62.05\t\t 28.5\t2.50E-006");
  EXPECT_EQ(dbuv.CsvLine,
            "\"0012-03\",\"482000\",\"CH22\",\"DVB-T\",\"MUX1\",\"PASS\",\"****\",\"\",\"\",\"\","
            "\"\",\"QAM64\",\"QAM64\",\"-46.7\",\" 62.05\",\" 28.5\",\"2.50E-006\"\r\n");
}

TEST(FormatRecord, CsvLineDoesNotDependOnTheUnits) {
  for (std::uint8_t units : {0, 1, 2, 255}) {
    EXPECT_EQ(FormatDigital(WorkedCommon(), WorkedDigital(), units).CsvLine,
              FormatDigital(WorkedCommon(), WorkedDigital(), kUnitsDbuv).CsvLine);
  }
}

TEST(FormatRecord, OnlyUnitsFlagOneSelectsDbuv) {
  for (std::uint8_t units : {0, 2, 255}) {
    EXPECT_NE(FormatDigital(WorkedCommon(), WorkedDigital(), units).DisplayLine.find("-46.7"),
              std::string::npos)
        << int(units);
  }
}

TEST(FormatRecord, AnalogueLinesHaveTwentyFieldsAndNoStatus) {
  const CommonFields common{'A', 5, 1, 471250, "CH21", "PAL-I", "ANALOGUE", 0x05};
  const AnalogueFields fields{MakeLevelWord(523, LevelRange::Over), MakeLevelWord(-455),
                              MakeLevelWord(0, LevelRange::NoValue), MakeLevelWord(-600)};
  const std::string head = "0005-01\t471250\tCH21\tPAL-I\tANALOGUE\t\t\t>\t";
  EXPECT_EQ(FormatAnalogue(common, fields, kUnitsDbm).DisplayLine,
            head + " 52.3\t\t-45.5\t\t\t\t\t \t\t\t\t");
  const DecodedEntry dbuv = FormatAnalogue(common, fields, kUnitsDbuv);
  EXPECT_EQ(dbuv.DisplayLine, head + "161.05\t\t 63.25\t\t\t\t\t \t\t\t\t");
  EXPECT_EQ(dbuv.CsvLine,
            "\"0005-01\",\"471250\",\"CH21\",\"PAL-I\",\"ANALOGUE\",\"\",\"\",\"> 52.3\","
            "\">161.05\",\"-45.5\",\" 63.25\",\"\",\"\",\"\",\"\",\" \",\"\"\r\n");
}

TEST(FormatRecord, AnalogueCarrierToNoiseShowsItsPrefixAndDb) {
  const CommonFields common{'A', 1, 1, 0, "", "", "", 0};
  const AnalogueFields fields{MakeLevelWord(0), MakeLevelWord(0),
                              MakeLevelWord(455, LevelRange::Under), 0};
  const DecodedEntry entry = FormatAnalogue(common, fields, kUnitsDbuv);
  EXPECT_NE(entry.DisplayLine.find("\t<\t 45.5\t\t\t"), std::string::npos);
  EXPECT_NE(entry.CsvLine.find(",\"< 45.5\",\"\"\r\n"), std::string::npos);
}

TEST(FormatRecord, NamesOnlyRecordKeepsSequenceAndTexts) {
  LogImage image;
  samples::WriteNamesOnlyRecord(image.Slot(3), {'E', 9, 2, 600000, "CH40", "DVB-T", "PSB1", 4});
  DecodedEntry entry;
  EXPECT_TRUE(FormatRecord(image, 3, entry, kUnitsDbm));
  EXPECT_EQ(entry.DisplayLine, "0009-02\t\tCH40\tDVB-T\tPSB1" + std::string(15, '\t'));
  std::string csv = "\"0009-02\",\"\",\"CH40\",\"DVB-T\",\"PSB1\"";
  for (int field = 6; field <= 17; ++field) {
    csv += ",\"\"";
  }
  EXPECT_EQ(entry.CsvLine, csv + "\r\n");
}

TEST(FormatRecord, OtherKindsGiveEmptyLinesAndSucceed) {
  for (int kind : {0x00, int{'X'}, int{'a'}, int{'d'}, 0xFF}) {
    LogImage image;
    samples::WriteDigitalRecord(image.Slot(0), {std::uint8_t(kind), 1, 1, 1, "C", "S", "M", 4},
                                WorkedDigital());
    DecodedEntry entry;
    entry.DisplayLine = "stale";
    EXPECT_TRUE(FormatRecord(image, 0, entry, kUnitsDbm));
    EXPECT_EQ(entry.DisplayLine, "") << int(kind);
    EXPECT_EQ(entry.CsvLine, "") << int(kind);
    EXPECT_EQ(entry.Channel, "C");
    EXPECT_EQ(entry.ErrorCount, 0u);
  }
}

TEST(FormatRecord, IndexOutsideTheImageFailsWithAClearedEntry) {
  LogImage image;
  DecodedEntry entry;
  entry.Channel = "stale";
  EXPECT_FALSE(FormatRecord(image, -1, entry, kUnitsDbm));
  EXPECT_FALSE(FormatRecord(image, kSlotCount, entry, kUnitsDbm));
  EXPECT_EQ(entry.Channel, "");
  EXPECT_TRUE(FormatRecord(image, kSlotCount - 1, entry, kUnitsDbm));
}

struct QualityVector {
  std::uint8_t statusByte;
  const char* status;
  const char* quality;
  const char* mode;
};

TEST(FormatRecord, QualityGivesStatusAsterisksAndModeText) {
  const QualityVector vectors[] = {
      {0, "FAIL", "", ""},          {1, "FAIL", "*", "QAM64"},
      {2, "POOR", "**", "QAM64"},   {3, "MARGINAL", "***", "QAM64"},
      {4, "PASS", "****", "QAM64"}, {5, "PASS", "*****", "QAM64"},
      {6, "", "******", "QAM64"},   {7, "", "*******", "QAM64"},
      {0xF8, "FAIL", "", ""},       {0xFC, "PASS", "****", "QAM64"},  // bits 3-7 not read
  };
  for (const QualityVector& vector : vectors) {
    CommonFields common = WorkedCommon();
    common.statusByte = vector.statusByte;
    const DecodedEntry entry = FormatDigital(common, WorkedDigital());
    const std::string expected = std::string("\t") + vector.status + "\t" + vector.quality +
                                 "\t\t\t\t\t" + vector.mode + "\tQAM64\t";
    EXPECT_NE(entry.DisplayLine.find(expected), std::string::npos)
        << int(vector.statusByte) << ": " << entry.DisplayLine;
    const std::string csv = std::string(",\"") + vector.status + "\",\"" + vector.quality +
                            "\",\"\",\"\",\"\",\"\",\"" + vector.mode + "\",\"QAM64\",";
    EXPECT_NE(entry.CsvLine.find(csv), std::string::npos) << int(vector.statusByte);
  }
}

TEST(FormatRecord, ModulationCodesAndTheirNames) {
  const std::pair<std::uint8_t, const char*> vectors[] = {
      {2, "BPSK"},    {4, "QPSK"},    {16, "QAM16"},   {64, "QAM64"}, {65, "QAM128"},
      {66, "QAM256"}, {67, "QAM512"}, {68, "QAM1024"}, {0, ""},       {3, ""},
      {32, ""},       {69, ""},       {128, ""},       {255, ""},
  };
  for (const auto& [code, name] : vectors) {
    DigitalFields fields = WorkedDigital();
    fields.mode = code;
    fields.plpMode = code;
    const DecodedEntry entry = FormatDigital(WorkedCommon(), fields);
    EXPECT_NE(entry.DisplayLine.find(std::string("\t\t") + name + "\t" + name + "\t\t"),
              std::string::npos)
        << int(code) << ": " << entry.DisplayLine;
  }
}

TEST(FormatRecord, SequenceAndFrequencyTexts) {
  const struct {
    int sequence;
    int subSequence;
    std::uint32_t frequency;
    const char* expected;
  } vectors[] = {
      {7, -1, 0, "0007--1\t0\t"},  // SubSequence byte 0xFF
      {12, 3, 482000, "0012-03\t482000\t"}, {65535, 127, 4294967295u, "65535-127\t4294967295\t"},
      {0, -128, 1, "0000--128\t1\t"},       {123, 0, 858000, "0123-00\t858000\t"},
  };
  for (const auto& vector : vectors) {
    CommonFields common = WorkedCommon();
    common.sequence = vector.sequence;
    common.subSequence = vector.subSequence;
    common.frequency = vector.frequency;
    EXPECT_EQ(FormatDigital(common, WorkedDigital()).DisplayLine.rfind(vector.expected, 0), 0u)
        << vector.expected;
  }
}

TEST(FormatRecord, FullWidthTextsStandAlone) {
  const CommonFields common{'D', 1, 1, 1, "ABCDEFGHIJ", "KLMNOPQRST", "UVWXYZ012345", 4};
  const DecodedEntry entry = FormatDigital(common, WorkedDigital());
  EXPECT_EQ(entry.Channel, "ABCDEFGHIJ");
  EXPECT_EQ(entry.Specification, "KLMNOPQRST");
  EXPECT_EQ(entry.Multiplex, "UVWXYZ012345");
  EXPECT_EQ(entry.DisplayLine.rfind("0001-01\t1\tABCDEFGHIJ\tKLMNOPQRST\tUVWXYZ012345\tPASS", 0),
            0u);
}

TEST(FormatRecord, EightBitTextsPassUnchangedAndCsvDoublesQuotes) {
  const CommonFields common{'D', 1, 1, 1, "A\"B,C", "\xE9t\xE9", "R\xE9gion \xFF", 4};
  const DecodedEntry entry = FormatDigital(common, WorkedDigital());
  EXPECT_EQ(entry.DisplayLine.rfind("0001-01\t1\tA\"B,C\t\xE9t\xE9\tR\xE9gion \xFF\t", 0), 0u);
  EXPECT_EQ(
      entry.CsvLine.rfind("\"0001-01\",\"1\",\"A\"\"B,C\",\"\xE9t\xE9\",\"R\xE9gion \xFF\",", 0),
      0u);
  EXPECT_EQ(QuoteCsvField("\"\""), "\"\"\"\"\"\"");
  EXPECT_EQ(QuoteCsvField(""), "\"\"");
}

TEST(FormatRecord, LevelWithoutValueGivesASpaceAndAnEmptyField) {
  DigitalFields fields = WorkedDigital();
  fields.digitalPower = 0xC000;
  fields.mer = 0xFFFF;
  const DecodedEntry entry = FormatDigital(WorkedCommon(), fields, kUnitsDbuv);
  EXPECT_NE(entry.DisplayLine.find("QAM64\tQAM64\t \t\t \t\t2.50E-006"), std::string::npos);
  EXPECT_NE(entry.CsvLine.find("\"QAM64\",\" \",\" \",\" \",\"2.50E-006\""), std::string::npos);
}

TEST(FormatRecord, RangeMarksStandInFrontOfBothUnits) {
  DigitalFields fields = WorkedDigital();
  fields.digitalPower = MakeLevelWord(-150, LevelRange::Over);
  fields.mer = MakeLevelWord(50, LevelRange::Under);
  const DecodedEntry entry = FormatDigital(WorkedCommon(), fields, kUnitsDbm);
  EXPECT_NE(entry.DisplayLine.find("\t>\t-15.0\t<\t  5.0\t"), std::string::npos);
  EXPECT_NE(entry.CsvLine.find("\">-15.0\",\"> 93.75\",\"<  5.0\""), std::string::npos);
}

TEST(FormatRecord, CopiesTheFieldsNoLineShows) {
  DigitalFields fields = WorkedDigital();
  fields.recordByte52 = 0x52;
  fields.guardInterval = 5;
  fields.recordWord54 = 0xFEDC;
  fields.recordWord56 = 0x1234;
  fields.plpMode = 66;
  fields.codeRate = 9;
  fields.errorCount = 0xA1B2C3D4;
  const DecodedEntry digital = FormatDigital(WorkedCommon(), fields);
  EXPECT_EQ(digital.Kind, 'D');
  EXPECT_EQ(digital.SubSequence, 3);
  EXPECT_EQ(digital.Mode, 64);
  EXPECT_EQ(digital.DigitalPower, 0x0E2D);
  EXPECT_EQ(digital.Mer, 0x011D);
  EXPECT_EQ(digital.ErrorCount, 0xA1B2C3D4u);
  EXPECT_EQ(digital.RecordByte52, 0x52);
  EXPECT_EQ(digital.GuardInterval, 5);
  EXPECT_EQ(digital.RecordWord54, 0xFEDC);
  EXPECT_EQ(digital.RecordWord56, 0x1234);
  EXPECT_EQ(digital.PlpMode, 66);
  EXPECT_EQ(digital.CodeRate, 9);
  EXPECT_EQ(digital.VideoPower, 0);

  const DecodedEntry analogue =
      FormatAnalogue({'A', 1, -2, 0, "", "", "", 0x07}, {0x8001, 0x7FFF, 0x0123, 0xC000});
  EXPECT_EQ(analogue.SubSequence, -2);
  EXPECT_EQ(analogue.StatusByte, 7);
  EXPECT_EQ(analogue.VideoPower, -32767);  // sign-extended from 16 bits
  EXPECT_EQ(analogue.AudioPower, 0x7FFF);
  EXPECT_EQ(analogue.CarrierToNoise, 0x0123);
  EXPECT_EQ(analogue.ExtraLevel, -16384);
  EXPECT_EQ(analogue.ErrorCount, 0u);
  EXPECT_EQ(analogue.Mode, 0);
}

TEST(BerText, ThreeDigitExponentFromAMultiplication) {
  const std::pair<std::uint32_t, const char*> vectors[] = {
      {0, "0.00E+000"},        {1, "1.00E-008"},           {250, "2.50E-006"},
      {12345, "1.23E-004"},    {4294967295u, "4.29E+001"}, {999, "9.99E-006"},
      {99999999, "1.00E+000"}, {100000000, "1.00E+000"},   {1000000000, "1.00E+001"},
      {1035, "1.04E-005"},  // a division by 1e8 rounds this one to 1.03E-005
      {1245, "1.25E-005"},  // and this one to 1.24E-005
  };
  for (const auto& [count, text] : vectors) {
    EXPECT_EQ(BerText(count), text) << count;
  }
}

TEST(SequenceText, MatchesTheFixedFormat) {
  EXPECT_EQ(SequenceText(7, -1), "0007--1");
  EXPECT_EQ(SequenceText(12, 3), "0012-03");
  EXPECT_EQ(SequenceText(0, 0), "0000-00");
}

}  // namespace
}  // namespace klxr
