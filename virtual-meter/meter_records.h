// Where a meter's log comes from: a .tlg image file, or the sample-log generator. The meter serves
// the counted records of the image: the run of kinds 'A', 'D' and 'V' from slot 0 up to the first
// slot of another kind (a full image gives 1568).
#pragma once

#include <string>
#include <vector>

#include "log/log_image.h"
#include "virtual-meter/bus_config.h"

namespace klxr::vm {

std::vector<RecordBytes> CountedRecords(const LogImage& image);

struct LoadedRecords {
  std::vector<RecordBytes> records;
  std::string error;  // empty on success
};
// Reads a .tlg file, which must hold exactly the 100352 bytes of a log image.
LoadedRecords LoadTlgRecords(const std::string& path);

// A realistic generated log of `count` records (0 to 1568), the same for the same seed.
std::vector<RecordBytes> GeneratedRecords(int count, unsigned seed = 1);

}  // namespace klxr::vm
