#include "report/report_text.h"

#include <QPainter>
#include <algorithm>

namespace klxr::report {

FittedText FitText(const QFontMetricsF& metrics, const QString& text, double room,
                   double minimumScale) {
  const double natural = metrics.horizontalAdvance(text);
  if (natural <= room) {
    return {text, 1, natural};
  }
  const double scale = std::clamp(minimumScale, 0.1, 1.0);
  if (natural * scale <= room) {
    return {text, room / natural, room};
  }
  // Qt's elision may leave a text a hair wider than asked: the last condensing absorbs it.
  const QString shortened = metrics.elidedText(text, Qt::ElideRight, room / scale);
  const double width = metrics.horizontalAdvance(shortened);
  if (shortened.isEmpty() || width <= 0) {
    return {};
  }
  const double fittedScale = std::min(1.0, room / width);
  return {shortened, fittedScale, width * fittedScale};
}

QStringList WrapText(const QFontMetricsF& metrics, const QString& text, double room, int maxLines) {
  const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  QStringList lines;
  QString line;
  for (qsizetype k = 0; k < words.size(); ++k) {
    const QString joined = line.isEmpty() ? words[k] : line + QLatin1Char(' ') + words[k];
    if (line.isEmpty() || metrics.horizontalAdvance(joined) <= room) {
      line = joined;
      continue;
    }
    if (lines.size() + 1 >= maxLines) {
      // The last line takes the rest of the text, shortened below.
      line = QStringList{line, words.mid(k).join(QLatin1Char(' '))}.join(QLatin1Char(' '));
      break;
    }
    lines << line;
    line = words[k];
  }
  if (!line.isEmpty()) {
    lines << line;
  }
  for (QString& each : lines) {
    each = FitText(metrics, each, room).text;
  }
  return lines;
}

void DrawFitted(QPainter& painter, const FittedText& fitted, QPointF baselineLeft) {
  if (fitted.text.isEmpty()) {
    return;
  }
  if (fitted.scale >= 1) {
    painter.drawText(baselineLeft, fitted.text);
    return;
  }
  painter.save();
  painter.translate(baselineLeft);
  painter.scale(fitted.scale, 1.0);
  painter.drawText(QPointF(0, 0), fitted.text);
  painter.restore();
}

double DrawLine(QPainter& painter, const QString& text, double left, double top, double room) {
  const QFontMetricsF metrics(painter.font());
  const FittedText fitted = FitText(metrics, text, room);
  DrawFitted(painter, fitted, QPointF(left, top + metrics.ascent()));
  return fitted.width;
}

}  // namespace klxr::report
