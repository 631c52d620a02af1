#include "desktop/log_viewer_lines.h"

#include <algorithm>
#include <iterator>

#include "log/record_format.h"
#include "resources/dialog_templates.h"

namespace klxr {
namespace {

// The gap kept before the next field's text, in dialog units across.
constexpr int kClearanceUnits = 2;

// The columns that hold a value after its range mark: "Vid. Pwr", "Aud. Pwr", "Dig. Pwr", "MER/CN".
constexpr int kValueAfterMark[] = {8, 10, 14, 16};

bool FollowsRangeMark(int column) {
  return std::find(std::begin(kValueAfterMark), std::end(kValueAfterMark), column) !=
         std::end(kValueAfterMark);
}

// The end of the room of field k: the start of the next field with text, less its clearance, or
// the line's right end.
int RoomEnd(std::span<const int> textWidths, std::span<const ListColumn> columns, std::size_t k,
            int right) {
  for (std::size_t next = k + 1; next < textWidths.size() && next < columns.size(); ++next) {
    if (textWidths[next] > 0) {
      return columns[next].left - columns[next].clearance;
    }
  }
  return right;
}

}  // namespace

std::vector<std::string> LogViewerLines(const LogImage& image, std::uint8_t units) {
  // The viewer has no menu, so the count has nothing to gray.
  const int count = CountRecords(image, nullptr);
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(std::max(count, 0)));
  DecodedEntry entry;
  for (int index = 0; index < count; ++index) {
    if (!FormatRecord(image, index, entry, units)) {
      break;
    }
    lines.push_back(entry.DisplayLine);
  }
  return lines;
}

std::vector<ListColumn> LogListColumns(DialogBaseUnits units) {
  const int clearance = kClearanceUnits * units.cx / 4;
  std::vector<ListColumn> columns{{0, clearance}};
  for (int stop : LogTabStops) {
    const int column = static_cast<int>(columns.size());
    columns.push_back({stop * units.cx / 4, FollowsRangeMark(column) ? 0 : clearance});
  }
  return columns;
}

std::vector<FieldPlacement> PlaceFields(std::span<const int> textWidths,
                                        std::span<const ListColumn> columns, int right) {
  std::vector<FieldPlacement> placements;
  placements.reserve(textWidths.size());
  int textEnd = 0;  // where the text drawn so far ends
  for (std::size_t k = 0; k < textWidths.size(); ++k) {
    const int natural = textWidths[k];
    if (k >= columns.size()) {
      const int clearance = columns.empty() ? 0 : columns.back().clearance;
      const int left = textEnd + (natural > 0 && textEnd > 0 ? clearance : 0);
      placements.push_back({left, natural, 1.0});
      textEnd = left + natural;
      continue;
    }
    const int left = columns[k].left;
    const int room = std::max(1, RoomEnd(textWidths, columns, k, right) - left);
    if (natural <= room) {
      placements.push_back({left, natural, 1.0});
    } else {
      placements.push_back({left, room, static_cast<double>(room) / natural});
    }
    if (natural > 0) {
      textEnd = left + placements.back().width;
    }
  }
  return placements;
}

std::string CopiedLines(std::span<const std::string> lines, std::span<const int> selectedRows,
                        std::string_view lineEnd) {
  std::vector<int> rows(selectedRows.begin(), selectedRows.end());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::string text;
  for (const int row : rows) {
    if (row < 0 || static_cast<std::size_t>(row) >= lines.size()) {
      continue;
    }
    text += lines[static_cast<std::size_t>(row)];
    text += lineEnd;
  }
  return text;
}

}  // namespace klxr
