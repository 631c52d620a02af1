#include "desktop/qt/about_box.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "ui_test_support.h"

namespace klxr {
namespace {

TEST(AboutBox, TitleLabelAndButton) {
  AboutBox box(nullptr);
  EXPECT_EQ(box.windowTitle(), "About...");
  EXPECT_EQ(FindControl<QLabel>(box, ctl::kAboutText)->text(), "Quorvel KLXR Meter V1.14");
  EXPECT_EQ(FindControl<QPushButton>(box, ctl::kOk)->text(), "OK");
  testing::WhenModalShown([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  EXPECT_EQ(RunAboutBox(nullptr), 2);
}

TEST(AboutPicture, Is256By135WithA256ColourPalette) {
  const QImage picture = LoadAboutPicture();
  EXPECT_EQ(picture.size(), QSize(256, 135));
  EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
  EXPECT_EQ(picture.colorCount(), 256);
}

TEST(AboutPicturePosition, CentredAcrossTruncatedAnd58Down) {
  const QSize picture(256, 135);
  struct Case {
    int clientWidth;
    QPoint expected;
  };
  const Case kCases[] = {{262, {3, 58}}, {263, {3, 58}},  {256, {0, 58}},
                         {255, {0, 58}}, {250, {-3, 58}}, {487, {115, 58}}};
  for (const Case& c : kCases) {
    EXPECT_EQ(AboutPicturePosition(c.clientWidth, picture), c.expected) << c.clientWidth;
  }
}

// Every place in the image where the picture is found whole, but for the pixels that the dialog's
// controls cover (with a large font the OK button reaches down over the picture).
std::vector<QPoint> FindPicture(const QImage& image, const QImage& picture,
                                const std::vector<QRect>& covered) {
  const QImage haystack = image.convertToFormat(QImage::Format_RGB32);
  const QImage needle = picture.convertToFormat(QImage::Format_RGB32);
  const auto isCovered = [&](int x, int y) {
    return std::any_of(covered.begin(), covered.end(),
                       [&](const QRect& rect) { return rect.contains(x, y); });
  };
  std::vector<QPoint> found;
  for (int y = 0; y + needle.height() <= haystack.height(); ++y) {
    for (int x = 0; x + needle.width() <= haystack.width(); ++x) {
      bool same = true;
      for (int row = 0; row < needle.height() && same; ++row) {
        for (int column = 0; column < needle.width() && same; ++column) {
          same = isCovered(x + column, y + row) ||
                 haystack.pixel(x + column, y + row) == needle.pixel(column, row);
        }
      }
      if (same) {
        found.push_back({x, y});
      }
    }
  }
  return found;
}

TEST(AboutBox, DrawsThePictureCentredAcrossAnd58PixelsDownAtEveryFontSize) {
  std::vector<int> widths;
  for (int pointSize : {8, 14}) {
    DialogTemplate about = AboutTemplate();
    about.fontPointSize = pointSize;
    AboutBox box(nullptr, about);
    const QImage image = box.grab().toImage();
    ASSERT_EQ(image.size(), box.size());
    std::vector<QRect> covered;
    for (QWidget* control : box.Controls()) {
      covered.push_back(control->geometry());
    }
    const std::vector<QPoint> found = FindPicture(image, LoadAboutPicture(), covered);
    EXPECT_EQ(found, std::vector<QPoint>{QPoint((box.width() - 256) / 2, 58)})
        << "point size " << pointSize << ", client width " << box.width();
    widths.push_back(box.width());
  }
  EXPECT_LT(widths[0], widths[1]);
}

}  // namespace
}  // namespace klxr
