// Every text of a report's pages, as the painter places it: no two texts on a page intersect or
// touch, whatever the names and values of the log, and the charts run by frequency. The report is
// painted on a device that records each text's box (its advance across, its font's ascent and
// descent up and down) in page points instead of drawing it.
#include <gtest/gtest.h>

#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <fstream>
#include <regex>

#include "report/qt_canvas.h"
#include "report/report_writer.h"
#include "samples/record_builder.h"

namespace klxr::report {
namespace {

using samples::LevelRange;
using samples::MakeLevelWord;

struct PlacedText {
  QString text;
  QRectF box;
};
using Page = std::vector<PlacedText>;

class TextRecordingEngine : public QPaintEngine {
 public:
  TextRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  bool begin(QPaintDevice* /*device*/) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState& /*state*/) override {}
  void drawPixmap(const QRectF& /*r*/, const QPixmap& /*pm*/, const QRectF& /*sr*/) override {}
  void drawPolygon(const QPointF* /*points*/, int /*count*/, PolygonDrawMode /*mode*/) override {}
  void drawPath(const QPainterPath& /*path*/) override {}
  void drawRects(const QRectF* /*rects*/, int /*count*/) override {}
  void drawLines(const QLineF* /*lines*/, int /*count*/) override {}
  void drawTextItem(const QPointF& baseline, const QTextItem& item) override {
    const QRectF box(baseline.x(), baseline.y() - item.ascent(), item.width(),
                     item.ascent() + item.descent());
    pages.back().push_back({item.text(), state->transform().mapRect(box)});
  }
  Type type() const override { return QPaintEngine::User; }

  std::vector<Page> pages{1};
};

// A page of the paper's size at 72 dots an inch, the resolution the report's PDF is written in.
class TextRecordingDevice : public QPaintDevice {
 public:
  explicit TextRecordingDevice(QSizeF page) : page_(page) {}
  QPaintEngine* paintEngine() const override { return &engine_; }
  std::vector<Page>& Pages() { return engine_.pages; }

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth:
        return qRound(page_.width());
      case PdmHeight:
        return qRound(page_.height());
      case PdmWidthMM:
        return qRound(page_.width() * 25.4 / 72);
      case PdmHeightMM:
        return qRound(page_.height() * 25.4 / 72);
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY:
        return 72;
      case PdmDepth:
        return 32;
      case PdmNumColors:
        return std::numeric_limits<int>::max();
      case PdmDevicePixelRatio:
        return 1;
      case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
  }

 private:
  QSizeF page_;
  mutable TextRecordingEngine engine_;
};

std::vector<Page> PaintPages(const LogImage& image, const ReportOptions& options) {
  const QRectF page = QPageLayout(QPageSize(options.letter ? QPageSize::Letter : QPageSize::A4),
                                  QPageLayout::Portrait, QMarginsF())
                          .fullRectPoints();
  TextRecordingDevice device(page.size());
  QPainter painter(&device);
  QtCanvas canvas(painter, [&device] { device.Pages().emplace_back(); });
  PaintReport(canvas, {page.left(), page.top(), page.width(), page.height()}, image, options);
  painter.end();
  return device.Pages();
}

LogImage LoadSample(const std::string& name) {
  LogImage image;
  std::ifstream in(std::string(KLXR_SOURCE_DIR) + "/samples/" + name + ".tlg", std::ios::binary);
  in.read(reinterpret_cast<char*>(image.bytes.data()), kLogImageSize);
  return image;
}

// Every text as long as the record allows, in the widest letters, with the widest values: analogue
// and digital records by turns, values over and under range, the largest error count.
LogImage MaximalLog(int count) {
  LogImage image;
  const std::string channel(10, 'W');
  const std::string specification = "MMMMM\xC6\xC6\xC6\xC6\xC6";
  const std::string multiplex = "WWWWW\xC6 WWWWW";
  for (int slot = 0; slot < count; ++slot) {
    const samples::CommonFields common{slot % 2 == 0 ? std::uint8_t{'A'} : std::uint8_t{'D'},
                                       65535 - slot,
                                       -128,
                                       4294967295u - static_cast<std::uint32_t>(slot),
                                       channel,
                                       specification,
                                       multiplex,
                                       static_cast<std::uint8_t>(slot % 8)};
    const auto range = slot % 3 == 0 ? LevelRange::Under : LevelRange::Over;
    const std::uint16_t level = MakeLevelWord(slot % 3 == 0 ? -2048 : 2047, range);
    if (common.kind == 'A') {
      samples::WriteAnalogueRecord(image.Slot(slot), common, {level, level, level, level});
    } else {
      samples::WriteDigitalRecord(image.Slot(slot), common,
                                  {.mode = 0xFF,
                                   .digitalPower = level,
                                   .mer = level,
                                   .errorCount = 4294967295u,
                                   .plpMode = 0xFF});
    }
  }
  return image;
}

// Closed boxes: sharing an edge or a corner is touching.
bool Touch(const QRectF& a, const QRectF& b) {
  return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
         b.top() <= a.bottom();
}

TEST(ReportLayout, NoTwoTextsOnAPageIntersectOrTouch) {
  struct Case {
    const char* name;
    LogImage image;
    std::uint8_t units;
    bool letter;
  };
  const Case cases[] = {
      {"mixed dBm", LoadSample("mixed"), kUnitsDbm, false},
      {"mixed dBuV", LoadSample("mixed"), kUnitsDbuv, true},
      {"maximal dBm", MaximalLog(120), kUnitsDbm, false},
      {"maximal dBuV", MaximalLog(120), kUnitsDbuv, true},
      {"empty", LoadSample("empty"), kUnitsDbm, false},
  };
  ReportOptions options;
  options.title = std::string(60, 'W');
  options.site = std::string(80, 'W');
  options.installer = std::string(80, 'M');
  options.logFileTime = std::chrono::system_clock::from_time_t(1'796'740'200);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    options.units = c.units;
    options.letter = c.letter;
    const std::vector<Page> pages = PaintPages(c.image, options);
    ASSERT_GE(pages.size(), 2u);
    for (std::size_t number = 0; number < pages.size(); ++number) {
      const Page& page = pages[number];
      EXPECT_GT(page.size(), 1u) << "page " << number + 1;
      for (std::size_t a = 0; a < page.size(); ++a) {
        for (std::size_t b = a + 1; b < page.size(); ++b) {
          EXPECT_FALSE(Touch(page[a].box, page[b].box))
              << "page " << number + 1 << ": \"" << page[a].text.toStdString() << "\" and \""
              << page[b].text.toStdString() << "\"";
        }
      }
    }
  }
}

// A log whose frequencies fall as it goes, each channel named by its frequency's rank: every strip
// of every chart shows its channels left to right by rising frequency.
TEST(ReportLayout, ChartsRunByFrequencyAcrossEachStrip) {
  constexpr int kCount = 60;
  LogImage image;
  for (int slot = 0; slot < kCount; ++slot) {
    const int rank = kCount - 1 - slot;
    const samples::CommonFields common{'D',
                                       slot,
                                       0,
                                       474000u + 8000u * static_cast<unsigned>(rank),
                                       "R" + std::to_string(100 + rank),
                                       "DVB-T",
                                       "MUX",
                                       0x04};
    samples::WriteDigitalRecord(image.Slot(slot), common,
                                {.mode = 64,
                                 .digitalPower = MakeLevelWord(-500 + slot),
                                 .mer = MakeLevelWord(300),
                                 .errorCount = 100});
  }
  const std::regex label("R([0-9]{3})");
  int labels = 0;
  for (const Page& page : PaintPages(image, ReportOptions{})) {
    // The channel labels of one strip stand on one line.
    std::map<double, std::vector<std::pair<double, int>>> strips;
    for (const PlacedText& text : page) {
      std::smatch match;
      const std::string string = text.text.toStdString();
      if (std::regex_match(string, match, label)) {
        strips[text.box.top()].emplace_back(text.box.left(), std::stoi(match[1]));
      }
    }
    for (auto& [top, strip] : strips) {
      std::sort(strip.begin(), strip.end());
      for (std::size_t k = 1; k < strip.size(); ++k) {
        EXPECT_EQ(strip[k].second, strip[k - 1].second + 1) << "strip at " << top;
      }
      labels += static_cast<int>(strip.size());
    }
  }
  EXPECT_EQ(labels, 4 * kCount);  // the level, MER and BER of every record, and its table row
}

}  // namespace
}  // namespace klxr::report
