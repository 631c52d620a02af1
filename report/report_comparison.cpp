#include "report/report_comparison.h"

#include <algorithm>

#include "log/comparison_writers.h"
#include "log/record_values.h"
#include "report/report_paint.h"
#include "report/report_text.h"

namespace klxr::report {
namespace {

constexpr double kTitleHeight = 30;  // the title and the summary line under it
constexpr double kLineHeight = 9;
constexpr Font kFixedFont{7.5, false, true};

int LinesPerPage(double bodyHeight) {
  return std::max(1, static_cast<int>((bodyHeight - kTitleHeight) / kLineHeight));
}

// A channel's line starts with its mark: + better, - worse, < or > in one survey only.
Colour LineColour(const std::string& line) {
  if (line.starts_with("+ ")) {
    return StatusColour(StatusClass::Pass);
  }
  if (line.starts_with("- ")) {
    return StatusColour(StatusClass::Fail);
  }
  if (line.starts_with("< ") || line.starts_with("> ")) {
    return StatusColour(StatusClass::None);
  }
  return kBlack;
}

}  // namespace

ComparisonSection MakeComparisonSection(const LogImage& before, const std::string& beforeName,
                                        const LogImage& after) {
  const SurveyComparison comparison =
      CompareSurveys(RecordValuesOf(before), RecordValuesOf(after), CompareThresholds{});
  ComparisonSection section{"Changes since " + beforeName, ComparisonSummaryLine(comparison), {}};
  const std::string text = ComparisonTableText(comparison);
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    section.lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return section;
}

int ComparisonPageCount(const ComparisonSection& section, double bodyHeight) {
  const int perPage = LinesPerPage(bodyHeight);
  return std::max<int>(1, (static_cast<int>(section.lines.size()) + perPage - 1) / perPage);
}

void PaintComparisonPage(Canvas& canvas, const ComparisonSection& section, int page,
                         const Rect& body) {
  const std::string title = page == 0 ? section.title : section.title + " (continued)";
  DrawTextLine(canvas, ReportFont(9, true), kBlack, FromUtf8(title), body.left, body.top + 2,
               body.width);
  DrawTextLine(canvas, ReportFont(8), kBlack, FromUtf8(section.summary), body.left, body.top + 15,
               body.width);
  const double ascent = canvas.Metrics(kFixedFont).ascent;
  const int perPage = LinesPerPage(body.height);
  const std::size_t first = static_cast<std::size_t>(page) * static_cast<std::size_t>(perPage);
  const std::size_t last =
      std::min(section.lines.size(), first + static_cast<std::size_t>(perPage));
  double y = body.top + kTitleHeight;
  for (std::size_t k = first; k < last; ++k) {
    canvas.DrawText(kFixedFont, LineColour(section.lines[k]), {body.left, y + ascent},
                    FromUtf8(section.lines[k]), 1);
    y += kLineHeight;
  }
}

}  // namespace klxr::report
