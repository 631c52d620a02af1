// The report as the programs without Qt write it: the PDF document of the report's own writer.
#include "report/pdf_canvas.h"
#include "report/report_writer.h"

namespace klxr::report {

std::string RenderReport(const LogImage& image, const ReportOptions& options) {
  const Rect page = PaperRect(options);
  PdfCanvas canvas(page.width, page.height);
  PaintReport(canvas, page, image, options);
  return canvas.Document(options.title, "klxr-log");
}

}  // namespace klxr::report
