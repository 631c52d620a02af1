// Reports of the bundled sample logs, read back with the Debian PDF tools.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "log/data_text.h"
#include "log/record_format.h"
#include "pdf_tools.h"
#include "report/report_content.h"
#include "report/report_writer.h"

namespace klxr::report {
namespace {

using testing::PdfFile;

LogImage LoadSample(const std::string& name) {
  LogImage image;
  std::ifstream in(std::string(KLXR_SOURCE_DIR) + "/samples/" + name + ".tlg", std::ios::binary);
  in.read(reinterpret_cast<char*>(image.bytes.data()), kLogImageSize);
  EXPECT_EQ(in.gcount(), static_cast<std::streamsize>(kLogImageSize)) << name;
  return image;
}

std::string_view Bytes(const std::string& pdf) {
  return pdf;
}

std::string Utf8(const std::string& latin1) {
  return Latin1ToUtf8(latin1);
}

std::string WithoutBlanks(std::string text) {
  std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '\f'; });
  return text;
}

// Whether a line of the PDF's text shows the fields of a display line, blanks aside: each field
// whole, or its beginning ended by an ellipsis where it was wider than its room in the table.
bool ShowsFields(const std::string& line, const std::string& displayLine) {
  const std::string ellipsis = "\xE2\x80\xA6";
  std::string rest = WithoutBlanks(line);
  std::istringstream in(displayLine);
  for (std::string field; std::getline(in, field, '\t');) {
    field = WithoutBlanks(Utf8(field));
    if (rest.starts_with(field)) {
      rest.erase(0, field.size());
      continue;
    }
    const std::size_t end = rest.find(ellipsis);
    if (end == std::string::npos || !field.starts_with(rest.substr(0, end))) {
      return false;
    }
    rest.erase(0, end + ellipsis.size());
  }
  return rest.empty();
}

std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> DisplayLines(const LogImage& image, std::uint8_t units) {
  std::vector<std::string> lines;
  DecodedEntry entry;
  const int count = CountRecords(image, nullptr);
  for (int index = 0; index < count; ++index) {
    FormatRecord(image, index, entry, units);
    lines.push_back(entry.DisplayLine);
  }
  return lines;
}

int NumberAfter(const std::string& text, const std::string& pattern) {
  std::smatch match;
  return std::regex_search(text, match, std::regex(pattern)) ? std::stoi(match[1]) : -1;
}

// The count a summary row shows: the label ends its line's text but for the number.
int SummaryCount(const std::vector<std::string>& lines, const std::string& label) {
  const std::regex row("(^|\\s)" + label + "\\s+([0-9]+)\\s*$");
  for (const std::string& line : lines) {
    std::smatch match;
    if (std::regex_search(line, match, row)) {
      return std::stoi(match[2]);
    }
  }
  return -1;
}

class ReportPdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::HavePdfTools()) {
      GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
    }
  }
};

TEST_F(ReportPdfTest, EveryDisplayLineAppearsInOrderOnTheChosenPaper) {
  struct Case {
    const char* sample;
    std::uint8_t units;
    bool letter;
    const char* paper;
  };
  const Case cases[] = {
      {"empty", kUnitsDbm, false, "(A4)"},     {"mixed", kUnitsDbm, false, "(A4)"},
      {"mixed", kUnitsDbuv, true, "(letter)"}, {"ends-with-e", kUnitsDbuv, false, "(A4)"},
      {"full", kUnitsDbm, false, "(A4)"},      {"full", kUnitsDbuv, true, "(letter)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sample) + (c.units == kUnitsDbuv ? " dBuV" : " dBm"));
    const LogImage image = LoadSample(c.sample);
    ReportOptions options;
    options.units = c.units;
    options.letter = c.letter;
    const PdfFile pdf(Bytes(RenderReport(image, options)));
    const std::string info = pdf.Info();
    const int pages = NumberAfter(info, "Pages:\\s+([0-9]+)");
    EXPECT_NE(info.find("Page size:"), std::string::npos) << info;
    EXPECT_NE(info.find(c.paper), std::string::npos) << info;

    const std::vector<std::string> lines = TextLines(pdf.Text());
    // Every page carries its number and the count of pages.
    int footers = 0;
    for (const std::string& line : lines) {
      footers += line.find("Page " + std::to_string(footers + 1) + " of " +
                           std::to_string(pages)) != std::string::npos;
    }
    EXPECT_EQ(footers, pages);

    // Each display line is one row of the table, in record order, its texts in Latin-1.
    std::size_t at = 0;
    const std::vector<std::string> expected = DisplayLines(image, c.units);
    for (std::size_t k = 0; k < expected.size(); ++k) {
      while (at < lines.size() && !ShowsFields(lines[at], expected[k])) {
        ++at;
      }
      ASSERT_LT(at, lines.size()) << "record " << k << " missing or out of order: " << expected[k];
      ++at;
    }
  }
}

TEST_F(ReportPdfTest, TheSummaryCountsKindsAndStatusesOfTheLog) {
  for (const char* sample : {"mixed", "ends-with-e", "full", "empty"}) {
    SCOPED_TRACE(sample);
    const LogImage image = LoadSample(sample);
    // Counted here from the display lines: the status is field 5, empty for analogue records.
    std::map<std::string, int> expected;
    for (const std::string& line : DisplayLines(image, kUnitsDbm)) {
      std::vector<std::string> fields;
      std::istringstream in(line);
      for (std::string field; std::getline(in, field, '\t');) {
        fields.push_back(field);
      }
      ++expected[fields.size() == 18 ? "Digital" : "Analogue"];
      ++expected[fields[5].empty() ? "none" : fields[5]];
    }
    const PdfFile pdf(Bytes(RenderReport(image, ReportOptions{})));
    const std::vector<std::string> lines = TextLines(pdf.Text());
    for (const char* label : {"Analogue", "Digital", "PASS", "MARGINAL", "FAIL", "POOR", "none"}) {
      EXPECT_EQ(SummaryCount(lines, label), expected[label]) << label;
    }
    EXPECT_EQ(NumberAfter(pdf.Text(), "Records: ([0-9]+)"), CountRecords(image, nullptr));
  }
}

TEST_F(ReportPdfTest, TheHeaderShowsTheUsersTextsAndLatin1NamesComeOutRight) {
  ReportOptions options;
  options.title = "Mesures \xC3\xA0 Gen\xC3\xA8ve";
  options.site = "Rue du Rh\xC3\xB4ne 12";
  options.installer = "J. M\xC3\xBCller";
  options.date = "2026-12-08";
  options.units = kUnitsDbuv;
  const PdfFile pdf(Bytes(RenderReport(LoadSample("mixed"), options)));
  const std::string text = pdf.Text();
  for (const char* expected :
       {"Mesures \xC3\xA0 Gen\xC3\xA8ve", "Site: Rue du Rh\xC3\xB4ne 12",
        "Installer: J. M\xC3\xBCller", "Printed: 2026-12-08", "Records: 40", "Units: dBuV",
        "T\xC3\xA9l\xC3\xA9 Nord", "R\xC3\xA9gion Est", "Level (dBuV)", "MER/CN (dB)", "BER"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
  EXPECT_NE(pdf.Info().find("Mesures \xC3\xA0 Gen\xC3\xA8ve"), std::string::npos);
}

TEST_F(ReportPdfTest, TheHeaderSaysWhenItWasPrintedAndWhereTheLogCameFrom) {
  struct Case {
    std::string printed;
    std::optional<std::chrono::system_clock::time_point> fileTime;
    bool fromMeter;
    std::string expected;
    std::string absent;
  };
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 10;
  local.tm_mday = 30;
  local.tm_hour = 9;
  local.tm_min = 5;
  local.tm_isdst = -1;
  const auto fileTime = std::chrono::system_clock::from_time_t(std::mktime(&local));
  const std::string today = LocalTimeText(std::chrono::system_clock::now(), "%Y-%m-%d");
  const Case cases[] = {
      {{}, {}, false, "Printed: " + today, "Log"},
      {"2026-12-08", fileTime, false, "Log file: 2026-11-30 09:05", "read from the meter"},
      {"2026-12-08", {}, true, "Log: read from the meter", "Log file"},
  };
  for (const Case& c : cases) {
    ReportOptions options;
    options.date = c.printed;
    options.logFileTime = c.fileTime;
    options.logReadFromMeter = c.fromMeter;
    const std::string text = PdfFile(Bytes(RenderReport(LoadSample("mixed"), options))).Text();
    std::string header = text.substr(0, text.find("Units:"));
    std::erase(header, ' ');
    std::string expected = c.expected;
    std::erase(expected, ' ');
    EXPECT_NE(header.find(expected), std::string::npos) << c.expected << "\n" << header;
    EXPECT_EQ(header.find(c.absent), std::string::npos) << c.absent;
    EXPECT_EQ(header.find("Date:"), std::string::npos);
  }
}

TEST_F(ReportPdfTest, AnEmptyLogGivesItsHeaderNotesAndTheTableHeadings) {
  const PdfFile pdf(Bytes(RenderReport(LoadSample("empty"), ReportOptions{})));
  const std::string text = pdf.Text();
  for (const char* expected : {"Measurement log", "Records: 0", "No records", "No digital records",
                               "Seq Num", "Frequency", "MER/CN", "Page 2 of 2"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
  EXPECT_EQ(NumberAfter(pdf.Info(), "Pages:\\s+([0-9]+)"), 2);
}

TEST_F(ReportPdfTest, TheFullLogsReportStaysUnderOneMegabyte) {
  const LogImage image = LoadSample("full");
  for (std::uint8_t units : {kUnitsDbm, kUnitsDbuv}) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t processor = std::clock();
    const std::string pdf = RenderReport(image, ReportOptions{.units = units});
    // The times are for the record only: the processor time of the rendering, and the time it
    // took on the clock, which the machine's load decides.
    const auto processorMs = (std::clock() - processor) * 1000 / CLOCKS_PER_SEC;
    RecordProperty("render_cpu_ms_" + std::to_string(units), std::to_string(processorMs));
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    RecordProperty("render_ms_" + std::to_string(units), std::to_string(elapsed.count()));
    EXPECT_LT(pdf.size(), 1'000'000u);
    EXPECT_TRUE(pdf.starts_with("%PDF-"));
  }
}

}  // namespace
}  // namespace klxr::report
