#include "report/report_table_layout.h"

#include <algorithm>

#include "log/record_format.h"
#include "resources/dialog_templates.h"

namespace klxr::report {
namespace {

// The viewer's list, whose left edge is tab position 0 and whose width the table takes.
const ControlTemplate& ViewerList() {
  return *FindControlTemplate(LogViewerTemplate(), ctl::kViewerList);
}

bool IsUnitLabel(int id) {
  return id == ctl::kViewerVideoUnit || id == ctl::kViewerAudioUnit ||
         id == ctl::kViewerDigitalUnit;
}

}  // namespace

std::vector<double> TableColumnLefts(double width) {
  const double scale = width / ViewerList().width;
  std::vector<double> lefts{0};
  for (int stop : LogTabStops) {
    lefts.push_back(stop * scale);
  }
  return lefts;
}

std::vector<TableHeading> TableHeadings(std::uint8_t units, double width) {
  const ControlTemplate& list = ViewerList();
  const double scale = width / list.width;
  std::vector<TableHeading> headings;
  for (const ControlTemplate& control : LogViewerTemplate().controls) {
    if (control.kind != ControlKind::Label || control.y >= list.y) {
      continue;
    }
    const bool unit = IsUnitLabel(control.id);
    const std::string_view text = !unit ? control.text : units == kUnitsDbuv ? "dBuV" : "dBm";
    headings.push_back({text, (control.x - list.x) * scale, control.width * scale,
                        HasStyle(control.styles, ControlStyle::Centred), unit});
  }
  std::sort(headings.begin(), headings.end(),
            [](const TableHeading& a, const TableHeading& b) { return a.left < b.left; });
  return headings;
}

double FieldRoom(const std::vector<double>& lefts, const std::vector<bool>& fieldEmpty,
                 std::size_t k, double right, double gap) {
  if (k >= lefts.size()) {
    return 0;
  }
  for (std::size_t next = k + 1; next < fieldEmpty.size() && next < lefts.size(); ++next) {
    if (!fieldEmpty[next]) {
      return lefts[next] - gap - lefts[k];
    }
  }
  return right - lefts[k];
}

}  // namespace klxr::report
