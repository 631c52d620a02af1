// The report's own PDF writer: the document's structure checked byte by byte (every platform),
// its text and paper read back with the Debian PDF tools, the fonts' widths and the 8-bit texts.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "pdf_tools.h"
#include "report/pdf_canvas.h"
#include "report/report_text.h"

namespace klxr::report {
namespace {

using testing::PdfFile;

// The objects' offsets in the cross-reference table each start their object; startxref starts the
// table, and the trailer counts the objects. Returns the number of objects.
int CheckCrossReferences(const std::string& pdf) {
  const std::size_t table = pdf.rfind("\nxref\n") + 1;
  const std::size_t start = pdf.rfind("startxref\n");
  EXPECT_NE(start, std::string::npos);
  EXPECT_EQ(std::stoul(pdf.substr(start + 10)), table);
  std::istringstream in(pdf.substr(table + 5));
  int first = -1;
  int count = 0;
  in >> first >> count;
  EXPECT_EQ(first, 0);
  EXPECT_NE(pdf.find("/Size " + std::to_string(count) + " "), std::string::npos);
  in.ignore(1);
  std::string entry(20, '\0');
  for (int object = 0; object < count; ++object) {
    in.read(entry.data(), 20);  // every entry is 20 bytes, its end of line included
    if (object == 0) {
      EXPECT_EQ(entry, "0000000000 65535 f \n");
      continue;
    }
    const std::size_t offset = std::stoul(entry.substr(0, 10));
    EXPECT_EQ(entry.substr(10), " 00000 n \n") << object;
    EXPECT_EQ(pdf.substr(offset, std::to_string(object).size() + 6),
              std::to_string(object) + " 0 obj")
        << object;
  }
  return count;
}

TEST(PdfCanvas, TextInEachFontLatin1AndShapesComeOutAsDrawn) {
  struct Line {
    Font font;
    std::string text;      // the report's 8-bit text
    std::string expected;  // what a reader of the PDF gets, UTF-8
  };
  const Line lines[] = {
      {{12, false, false}, "Level (dBm) 47.5", "Level (dBm) 47.5"},
      {{12, true, false}, "Summary \\ (A) 100%", "Summary \\ (A) 100%"},
      {{10, false, true}, "+ 21  E12  DVB-T", "+ 21  E12  DVB-T"},
      {{9, false, false},
       "T\xE9l\xE9 Nord \xC6\xF8\xDF \xB0\xB5",
       "T\xC3\xA9l\xC3\xA9 Nord \xC3\x86\xC3\xB8\xC3\x9F \xC2\xB0\xC2\xB5"},
      {{9, true, false}, "R\xE9gion Est\x85", "R\xC3\xA9gion Est\xE2\x80\xA6"},
  };
  PdfCanvas canvas(595, 842);
  double y = 60;
  for (const Line& line : lines) {
    canvas.DrawText(line.font, kBlack, {50, y}, line.text, 1);
    y += 30;
  }
  canvas.FillRect({50, 300, 100, 40}, {0xd0, 0x30, 0x30});
  canvas.HatchRect({200, 300, 20, 60}, {0x2e, 0x9d, 0x4a});
  canvas.StrokeRect({200, 300, 20, 60}, {0x2e, 0x9d, 0x4a}, 0.8);
  canvas.DrawLine({50, 400}, {500, 400}, kBlack, 0.6);
  canvas.NewPage();
  canvas.DrawText({8, false, false}, kBlack, {50, 60}, "Page 2 of 2", 0.8);
  const std::string pdf = canvas.Document("Mesures \xC3\xA0 Gen\xC3\xA8ve", "klxr-log");

  ASSERT_TRUE(pdf.starts_with("%PDF-1.4\n"));
  EXPECT_TRUE(pdf.ends_with("%%EOF\n"));
  EXPECT_EQ(CheckCrossReferences(pdf), 1 + 7 + 2 * 2);  // catalogue, pages, fonts, info; 2 pages
  EXPECT_NE(pdf.find("0.816 0.188 0.188 rg 50 502 100 40 re f"), std::string::npos);
  if (!testing::HavePdfTools()) {
    GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
  }
  const PdfFile file(pdf);
  const std::string info = file.Info();
  EXPECT_NE(info.find("595 x 842 pts (A4)"), std::string::npos) << info;
  EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+2\n"))) << info;
  EXPECT_NE(info.find("Mesures \xC3\xA0 Gen\xC3\xA8ve"), std::string::npos) << info;
  EXPECT_EQ(info.find("Syntax Error"), std::string::npos) << info;
  // The text tool spaces the words of a line as it sees fit.
  const auto withoutBlanks = [](std::string text) {
    std::erase(text, ' ');
    return text;
  };
  const std::string text = withoutBlanks(file.Text());
  for (const Line& line : lines) {
    EXPECT_NE(text.find(withoutBlanks(line.expected)), std::string::npos) << line.expected;
  }
  EXPECT_NE(text.find("Page2of2"), std::string::npos);
}

TEST(PdfCanvas, WidthsAreThoseOfTheStandardFonts) {
  struct Case {
    Font font;
    std::string text;
    double width;
  };
  const Case cases[] = {
      {{10, false, false}, "Hello", (722 + 556 + 222 + 222 + 556) / 100.0},
      {{10, true, false}, "W", 9.44},
      {{10, false, false}, "\xE9\xC6\x85", (556 + 1000 + 1000) / 100.0},
      {{20, true, false}, "i ", (278 + 278) / 50.0},
      {{7.5, false, true}, "ABC\xE9 ()", 7 * 0.6 * 7.5},
      {{10, false, false}, "", 0},
  };
  const PdfCanvas canvas(595, 842);
  for (const Case& c : cases) {
    EXPECT_NEAR(canvas.TextWidth(c.font, c.text), c.width, 1e-9) << c.text;
  }
}

TEST(ReportText, TextsBecomeTheReportsCodePage) {
  struct Case {
    std::string input;
    bool utf8;
    std::string text;
  };
  const Case cases[] = {
      {"Gen\xC3\xA8ve \xC3\xBF", true, "Gen\xE8ve \xFF"},
      {"\xE2\x80\xA6 \xE2\x82\xAC \xE2\x80\x93", true, "\x85 \x80 \x96"},
      {"\xE6\x97\xA5\xF0\x9F\x93\xA1 !", true, "?? !"},
      {"\xC3 \xA9", true, "? ?"},
      {"Gen\xE8ve\x85\x9F", false, "Gen\xE8ve??"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.utf8 ? FromUtf8(c.input) : FromLatin1(c.input), c.text) << c.input;
  }
}

}  // namespace
}  // namespace klxr::report
