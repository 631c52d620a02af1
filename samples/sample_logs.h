// Realistic meter logs made by our own generator: used for the bundled sample files, by the virtual
// meter's generated log, by tests and by benchmarks.
#pragma once

#include "log/log_image.h"

namespace klxr::samples {

// A log of recordCount records (0 to 1568) in slots 0 upward: a realistic mix of analogue (kind
// 'A') and digital (kinds 'D' and 'V') channels across the UHF band, the same for the same seed.
LogImage MakeRealisticLog(int recordCount, unsigned seed);

}  // namespace klxr::samples
