// The report as the Linux program writes it: painted through Qt on a QPdfWriter.
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "report/qt_canvas.h"
#include "report/report_writer.h"

namespace klxr::report {

std::string RenderReport(const LogImage& image, const ReportOptions& options) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(options.letter ? QPageSize::Letter : QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    writer.setResolution(72);
    writer.setTitle(QString::fromStdString(options.title));
    writer.setCreator(QStringLiteral("klxr-log"));
    QPainter painter(&writer);
    const QRectF page = writer.pageLayout().fullRectPoints();
    QtCanvas canvas(painter, [&writer] { writer.newPage(); });
    PaintReport(canvas, {page.left(), page.top(), page.width(), page.height()}, image, options);
  }
  buffer.close();
  return bytes.toStdString();
}

}  // namespace klxr::report
