#include "desktop/qt/progress_bar.h"

#include <QPainter>
#include <QPen>
#include <cstdint>
#include <utility>

#include "desktop/read_progress_text.h"

namespace klxr {

int ProgressFillRight(int shown, int total) {
  if (total <= 0) {
    return kBarLeft;
  }
  return static_cast<int>(std::int64_t{shown} * kBarWidth / total) + kBarLeft;
}

void PaintProgressBar(QPainter& painter, const ProgressView& view) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRect bar(QPoint(kBarLeft, kBarTop), QPoint(kBarRight - 1, kBarBottom - 1));
  if (!view.running) {
    painter.fillRect(bar, Qt::white);
    painter.restore();
    return;
  }
  // A filled rectangle without an outline covers one pixel less in width and height than the
  // outlined one, so the fill stops just inside the outline's right and bottom lines.
  const int fillRight = ProgressFillRight(view.shown, view.total);
  const QRect fill(QPoint(kBarLeft, kBarTop), QPoint(fillRight - 2, kBarBottom - 2));
  if (fill.isValid()) {
    painter.fillRect(fill, Qt::black);
  }
  painter.setPen(QPen(Qt::black, 0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(bar.adjusted(0, 0, -1, -1));
  painter.restore();
}

ProgressBarArea::ProgressBarArea(std::function<ProgressView()> source, QWidget* parent)
    : QWidget(parent), source_(std::move(source)) {
  // The client area has the system's window colour, as a document area does.
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setAccessibleName(QString::fromLatin1(kReadProgressName.data(),
                                        static_cast<qsizetype>(kReadProgressName.size())));
}

void ProgressBarArea::RefreshAccessibleText() {
  const QString text =
      QString::fromStdString(ReadProgressText(source_ ? source_() : ProgressView{}));
  if (text != accessibleDescription()) {
    setAccessibleDescription(text);
  }
}

void ProgressBarArea::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  PaintProgressBar(painter, source_());
}

}  // namespace klxr
