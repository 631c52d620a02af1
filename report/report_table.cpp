// The table of a report: the display lines of the log viewer, each field in the viewer's column,
// under the viewer's headings. A field runs on over empty columns to its right; one still wider
// than its room is condensed a little and, beyond that, shortened with an ellipsis, so that it
// never reaches the next field's text. The headings take the largest font in which each fits its
// share of the line, on one line or, failing that, on two.
#include <algorithm>

#include "report/report_paint.h"
#include "report/report_table_layout.h"
#include "report/report_text.h"

namespace klxr::report {
namespace {

constexpr double kTableFontSize = 6.3;
constexpr double kHeadingFontSize = 6.5;
constexpr double kSmallestHeadingFontSize = 5;
constexpr double kHeadingLineStep = 8.5;
constexpr double kFieldGap = 2;
// A field may be condensed to this share of its width before it is shortened.
constexpr double kFieldMinimumScale = 0.8;

// The range marks are fields of their own in a display line, each followed by its value.
bool IsRangeMarkField(std::size_t field) {
  return field == 7 || field == 9 || field == 13 || field == 15;
}

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

// The fields of a display line as the table draws them: a range mark and its value as one text in
// the mark's column, so that the two never stand as texts that touch.
std::vector<std::string> TableFields(const std::string& displayLine) {
  std::vector<std::string> fields;
  const std::string line = FromLatin1(displayLine);
  for (std::size_t start = 0;;) {
    const std::size_t end = line.find('\t', start);
    fields.push_back(line.substr(start, end - start));
    if (end == std::string::npos) {
      break;
    }
    start = end + 1;
  }
  for (std::size_t k = 0; k + 1 < fields.size(); ++k) {
    if (IsRangeMarkField(k) && !IsBlank(fields[k])) {
      fields[k] += fields[k + 1];
      fields[k + 1].clear();
    }
  }
  return fields;
}

// The span of a line of headings that heading k may take: between the middles of the gaps to its
// neighbours' labels, less half the gap on each side; the table's edges at the ends.
std::pair<double, double> HeadingSpan(const std::vector<TableHeading>& headings, std::size_t k,
                                      double width) {
  const TableHeading& heading = headings[k];
  const double low =
      k == 0 ? 0 : (headings[k - 1].left + headings[k - 1].width + heading.left + kFieldGap) / 2;
  const double high = k + 1 == headings.size()
                          ? width
                          : (heading.left + heading.width + headings[k + 1].left - kFieldGap) / 2;
  return {low, high};
}

std::string HeadingText(const TableHeading& heading) {
  return FromLatin1(heading.text);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) {
    joined += (joined.empty() ? "" : " ") + line;
  }
  return joined;
}

// True when every heading fits its span in font, on at most maxLines lines.
bool HeadingsFit(const Canvas& canvas, const Font& font, const std::vector<TableHeading>& headings,
                 double width, int maxLines) {
  for (std::size_t k = 0; k < headings.size(); ++k) {
    const auto [low, high] = HeadingSpan(headings, k, width);
    const std::string text = HeadingText(headings[k]);
    if (Joined(WrapText(canvas, font, text, high - low, maxLines)) != Simplified(text)) {
      return false;
    }
  }
  return true;
}

// Paints one line of headings (the unit names, or the column names), each in its span, centred
// on its label or from the label's left edge.
void PaintHeadingLine(Canvas& canvas, const Font& font, const std::vector<TableHeading>& headings,
                      const Rect& area, double top, int maxLines) {
  const double ascent = canvas.Metrics(font).ascent;
  for (std::size_t k = 0; k < headings.size(); ++k) {
    const TableHeading& heading = headings[k];
    const auto [low, high] = HeadingSpan(headings, k, area.width);
    const std::vector<std::string> lines =
        WrapText(canvas, font, HeadingText(heading), high - low, maxLines);
    for (std::size_t line = 0; line < lines.size(); ++line) {
      const double width = canvas.TextWidth(font, lines[line]);
      const double wanted =
          heading.centred ? heading.left + (heading.width - width) / 2 : heading.left;
      const double left = std::clamp(wanted, low, std::max(low, high - width));
      canvas.DrawText(
          font, kBlack,
          {area.left + left, top + static_cast<double>(line) * kHeadingLineStep + ascent},
          lines[line], 1);
    }
  }
}

// The largest heading font, down to a smallest size, in which every heading fits whole on one line
// or, failing that, on two; with the lines each heading may take.
std::pair<Font, int> ChooseHeadingFont(const Canvas& canvas, const std::vector<TableHeading>& names,
                                       double width) {
  for (int lines = 1; lines <= 2; ++lines) {
    for (double size = kHeadingFontSize; size >= kSmallestHeadingFontSize; size -= 0.25) {
      if (HeadingsFit(canvas, ReportFont(size, true), names, width, lines)) {
        return {ReportFont(size, true), lines};
      }
    }
  }
  return {ReportFont(kSmallestHeadingFontSize, true), 2};
}

}  // namespace

double PaintTableHeadings(Canvas& canvas, std::uint8_t units, const Rect& area) {
  std::vector<TableHeading> unitNames;
  std::vector<TableHeading> names;
  for (const TableHeading& heading : TableHeadings(units, area.width)) {
    (heading.unitLine ? unitNames : names).push_back(heading);
  }
  const auto [font, lines] = ChooseHeadingFont(canvas, names, area.width);
  PaintHeadingLine(canvas, font, unitNames, area, area.top + 2, 1);
  PaintHeadingLine(canvas, font, names, area, area.top + 2 + kHeadingLineStep, lines);
  const double bottom = area.top + kTableHeadingsHeight - 2.5;
  canvas.DrawLine({area.left, bottom}, {area.right(), bottom}, kBlack, 0.6);
  return kTableHeadingsHeight;
}

void PaintTableRow(Canvas& canvas, const std::string& displayLine, const Rect& row) {
  const std::vector<std::string> fields = TableFields(displayLine);
  const std::vector<double> lefts = TableColumnLefts(row.width);
  std::vector<bool> empty;
  for (const std::string& field : fields) {
    empty.push_back(IsBlank(field));
  }
  const Font font = ReportFont(kTableFontSize);
  const FontMetrics metrics = canvas.Metrics(font);
  const double baseline = row.top + (row.height + metrics.ascent - metrics.descent) / 2;
  for (std::size_t k = 0; k < fields.size() && k < lefts.size(); ++k) {
    if (empty[k]) {
      continue;
    }
    const double room = FieldRoom(lefts, empty, k, row.width, kFieldGap);
    DrawFitted(canvas, font, kBlack, FitText(canvas, font, fields[k], room, kFieldMinimumScale),
               {row.left + lefts[k], baseline});
  }
}

}  // namespace klxr::report
