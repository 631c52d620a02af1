// The report laid out with the metrics of the report's own PDF writer: no two texts on a page
// intersect or touch, as with Qt's. A canvas records each text's box instead of drawing it.
#include <gtest/gtest.h>

#include <fstream>

#include "report/pdf_canvas.h"
#include "report/report_writer.h"

namespace klxr::report {
namespace {

struct PlacedText {
  std::string text;
  Rect box;
};

class RecordingCanvas : public PdfCanvas {
 public:
  using PdfCanvas::PdfCanvas;
  void DrawText(const Font& font, Colour /*colour*/, Point baselineLeft, std::string_view text,
                double scale) override {
    const FontMetrics metrics = Metrics(font);
    pages.back().push_back({std::string(text),
                            {baselineLeft.x, baselineLeft.y - metrics.ascent,
                             TextWidth(font, text) * scale, metrics.height()}});
  }
  void NewPage() override { pages.emplace_back(); }

  std::vector<std::vector<PlacedText>> pages{1};
};

LogImage LoadSample(const std::string& name) {
  LogImage image;
  std::ifstream in(std::string(KLXR_SOURCE_DIR) + "/samples/" + name + ".tlg", std::ios::binary);
  in.read(reinterpret_cast<char*>(image.bytes.data()), kLogImageSize);
  return image;
}

// Closed boxes: sharing an edge or a corner is touching.
bool Touch(const Rect& a, const Rect& b) {
  return a.left <= b.right() && b.left <= a.right() && a.top <= b.bottom() && b.top <= a.bottom();
}

TEST(PdfLayout, NoTwoTextsOnAPageIntersectOrTouch) {
  struct Case {
    const char* sample;
    std::uint8_t units;
    bool letter;
  };
  const Case cases[] = {{"mixed", kUnitsDbm, false},
                        {"mixed", kUnitsDbuv, true},
                        {"full", kUnitsDbm, false},
                        {"empty", kUnitsDbuv, false}};
  ReportOptions options;
  options.title = std::string(60, 'W');
  options.site = std::string(80, 'W');
  options.installer = "\xC3\x86" + std::string(80, 'M');
  options.logReadFromMeter = true;
  const LogImage before = LoadSample("full");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sample) + (c.letter ? " letter" : " A4"));
    options.units = c.units;
    options.letter = c.letter;
    options.before = c.letter ? &before : nullptr;
    options.beforeName = std::string(200, 'W');
    RecordingCanvas canvas(PaperRect(options).width, PaperRect(options).height);
    PaintReport(canvas, PaperRect(options), LoadSample(c.sample), options);
    ASSERT_GE(canvas.pages.size(), 2u);
    for (std::size_t number = 0; number < canvas.pages.size(); ++number) {
      const std::vector<PlacedText>& page = canvas.pages[number];
      EXPECT_GT(page.size(), 1u) << "page " << number + 1;
      for (std::size_t a = 0; a < page.size(); ++a) {
        EXPECT_LE(page[a].box.right(), PaperRect(options).width) << page[a].text;
        for (std::size_t b = a + 1; b < page.size(); ++b) {
          EXPECT_FALSE(Touch(page[a].box, page[b].box))
              << "page " << number + 1 << ": \"" << page[a].text << "\" and \"" << page[b].text
              << "\"";
        }
      }
    }
  }
}

}  // namespace
}  // namespace klxr::report
