#include "report/qt_canvas.h"

#include <QFontMetricsF>
#include <QPainter>

#include "report/report_text.h"

namespace klxr::report {
namespace {

QColor ToQColor(Colour colour) {
  return {colour.red, colour.green, colour.blue};
}

QRectF ToQRectF(const Rect& rect) {
  return {rect.left, rect.top, rect.width, rect.height};
}

QFont ReportQFont(const Font& font) {
  QFont qfont;
  if (font.fixed) {
    qfont.setFamilies({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                       QStringLiteral("Courier New")});
    qfont.setStyleHint(QFont::Monospace);
  } else {
    qfont.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                       QStringLiteral("DejaVu Sans")});
  }
  qfont.setPointSizeF(font.size);
  qfont.setBold(font.bold);
  // No ligatures: a text tool reads "Log file" as typed, not with an "fi" glyph.
  qfont.setStyleStrategy(QFont::PreferNoShaping);
  return qfont;
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, std::function<void()> newPage)
    : painter_(painter), newPage_(std::move(newPage)) {}

QFont QtCanvas::DeviceFont(const Font& font) const {
  return painter_.device() != nullptr ? QFont(ReportQFont(font), painter_.device())
                                      : ReportQFont(font);
}

FontMetrics QtCanvas::Metrics(const Font& font) const {
  const QFontMetricsF metrics(DeviceFont(font));
  return {metrics.ascent(), metrics.descent()};
}

double QtCanvas::TextWidth(const Font& font, std::string_view text) const {
  return QFontMetricsF(DeviceFont(font)).horizontalAdvance(ToQString(text));
}

void QtCanvas::DrawText(const Font& font, Colour colour, Point baselineLeft, std::string_view text,
                        double scale) {
  painter_.setFont(ReportQFont(font));
  painter_.setPen(ToQColor(colour));
  if (scale >= 1) {
    painter_.drawText(QPointF(baselineLeft.x, baselineLeft.y), ToQString(text));
    return;
  }
  painter_.save();
  painter_.translate(baselineLeft.x, baselineLeft.y);
  painter_.scale(scale, 1.0);
  painter_.drawText(QPointF(0, 0), ToQString(text));
  painter_.restore();
}

void QtCanvas::DrawLine(Point from, Point to, Colour colour, double width) {
  painter_.setPen(QPen(ToQColor(colour), width));
  painter_.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
}

void QtCanvas::FillRect(const Rect& rect, Colour colour) {
  painter_.fillRect(ToQRectF(rect), ToQColor(colour));
}

void QtCanvas::HatchRect(const Rect& rect, Colour colour) {
  painter_.fillRect(ToQRectF(rect), QBrush(ToQColor(colour), Qt::BDiagPattern));
}

void QtCanvas::StrokeRect(const Rect& rect, Colour colour, double width) {
  painter_.setPen(QPen(ToQColor(colour), width));
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(ToQRectF(rect));
}

void QtCanvas::NewPage() {
  newPage_();
}

QString ToQString(std::string_view text) {
  QString qtext;
  qtext.reserve(static_cast<qsizetype>(text.size()));
  for (const char c : text) {
    qtext += QChar(static_cast<char16_t>(CharacterOf(static_cast<unsigned char>(c))));
  }
  return qtext;
}

}  // namespace klxr::report
