// The report's section of changes since an earlier survey of the site: the comparison's table as
// the command-line tool prints it, in a fixed-width font, each channel's line in the colour of its
// verdict, over as many pages as it needs after the records.
#pragma once

#include <string>
#include <vector>

#include "log/log_image.h"
#include "report/canvas.h"

namespace klxr::report {

struct ComparisonSection {
  std::string title;               // "Changes since ...", the earlier survey's name; UTF-8
  std::string summary;             // "3 better, 1 worse, ..."
  std::vector<std::string> lines;  // the table's lines, UTF-8
};

// The section comparing before (the earlier survey, named beforeName in UTF-8) with the report's
// log, with the default thresholds.
ComparisonSection MakeComparisonSection(const LogImage& before, const std::string& beforeName,
                                        const LogImage& after);

// How many pages the section takes on a page body of that height.
int ComparisonPageCount(const ComparisonSection& section, double bodyHeight);

// Paints page number page (from 0) of the section into body.
void PaintComparisonPage(Canvas& canvas, const ComparisonSection& section, int page,
                         const Rect& body);

}  // namespace klxr::report
