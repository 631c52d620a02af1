// The sample .tlg files bundled in samples/: what klxr-make-samples writes, and what the tests
// compare the committed files with.
#pragma once

#include <string>
#include <vector>

#include "log/log_image.h"

namespace klxr::samples {

struct SampleFile {
  std::string fileName;  // e.g. "mixed.tlg"
  LogImage image;
};

// mixed.tlg: 40 records, analogue and digital, with range marks, Latin-1 names, full-width texts
//   and a multiplex name holding a comma and double quotes.
// ends-with-e.tlg: 12 records, a kind 'E' record, then 8 more records that are not counted.
// empty.tlg: no records (all zero).
// full.tlg: all 1568 slots hold records.
std::vector<SampleFile> BundledSampleFiles();

}  // namespace klxr::samples
