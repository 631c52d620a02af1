#include "desktop/qt/progress_bar.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

namespace klxr {
namespace {

TEST(ProgressFillRightTest, IsShownTimes205OverTotalPlus10Truncated) {
  struct Case {
    int shown;
    int total;
    int right;
  };
  const std::vector<Case> cases{
      {0, 1568, 10},    {1, 1568, 10},     {7, 1568, 10},     {8, 1568, 11},
      {784, 1568, 112}, {1567, 1568, 214}, {1568, 1568, 215}, {40, 1568, 15},
      {0, 0, 10},       {5, 0, 10},        {1, 1, 215},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressFillRight(c.shown, c.total), c.right) << c.shown << "/" << c.total;
  }
}

// The bar painted on a grey background, as text pictures of a row (x from 8 to 216) or a column
// (y from 13 to 37): '#' black, '.' white, ' ' anything else.
class BarPicture {
 public:
  explicit BarPicture(const ProgressView& view) : image_(230, 50, QImage::Format_RGB32) {
    image_.fill(QColor(128, 128, 128));
    QPainter painter(&image_);
    PaintProgressBar(painter, view);
  }
  std::string Row(int y) const {
    std::string row;
    for (int x = 8; x <= 216; ++x) {
      row += Mark(x, y);
    }
    return row;
  }
  std::string Column(int x) const {
    std::string column;
    for (int y = 13; y <= 37; ++y) {
      column += Mark(x, y);
    }
    return column;
  }

 private:
  char Mark(int x, int y) const {
    const QRgb pixel = image_.pixel(x, y);
    return pixel == qRgb(0, 0, 0) ? '#' : pixel == qRgb(255, 255, 255) ? '.' : ' ';
  }

  QImage image_;
};

// x = 8, 9 are outside, 10 to 214 the bar, 215, 216 outside.
std::string Span(char outside, char left, char inner, int innerCount, char rest, int restCount,
                 char right) {
  return std::string(2, outside) + left + std::string(innerCount, inner) +
         std::string(restCount, rest) + right + std::string(2, outside);
}

TEST(PaintProgressBarTest, IdleBarIsAWhiteRectangleFrom10_15To215_35) {
  const BarPicture picture({false, 700, 1568});
  EXPECT_EQ(picture.Row(15), Span(' ', '.', '.', 203, '.', 0, '.'));
  EXPECT_EQ(picture.Row(34), Span(' ', '.', '.', 203, '.', 0, '.'));
  EXPECT_EQ(picture.Row(35), std::string(209, ' '));
  EXPECT_EQ(picture.Row(14), std::string(209, ' '));
  EXPECT_EQ(picture.Column(10), "  " + std::string(20, '.') + "   ");
}

TEST(PaintProgressBarTest, AtZeroRecordsOnlyTheOutlineShows) {
  const BarPicture picture({true, 0, 1568});
  EXPECT_EQ(picture.Row(15), Span(' ', '#', '#', 203, '#', 0, '#'));
  EXPECT_EQ(picture.Row(25), Span(' ', '#', ' ', 203, ' ', 0, '#'));
  EXPECT_EQ(picture.Row(34), Span(' ', '#', '#', 203, '#', 0, '#'));
  EXPECT_EQ(picture.Column(100), "  #" + std::string(18, ' ') + "#   ");
}

TEST(PaintProgressBarTest, TheFillEndsJustBeforeR) {
  // 784 of 1568: R = 112, so the fill covers x = 10 to 110 and y = 15 to 33.
  const BarPicture picture({true, 784, 1568});
  EXPECT_EQ(picture.Row(25), Span(' ', '#', '#', 100, ' ', 103, '#'));
  EXPECT_EQ(picture.Row(33), Span(' ', '#', '#', 100, ' ', 103, '#'));
  EXPECT_EQ(picture.Column(110), "  " + std::string(20, '#') + "   ");
  EXPECT_EQ(picture.Column(111), "  #" + std::string(18, ' ') + "#   ");
}

TEST(PaintProgressBarTest, AFullBarIsFilledUpToTheOutline) {
  const BarPicture picture({true, 1568, 1568});
  EXPECT_EQ(picture.Row(25), Span(' ', '#', '#', 203, '#', 0, '#'));
  EXPECT_EQ(picture.Column(213), "  " + std::string(20, '#') + "   ");
}

}  // namespace
}  // namespace klxr
