#include "virtual-meter/meter_records.h"

#include <algorithm>
#include <memory>

#include "log/whole_file.h"
#include "samples/sample_logs.h"

namespace klxr::vm {

std::vector<RecordBytes> CountedRecords(const LogImage& image) {
  const int count = CountRecords(image, nullptr);
  std::vector<RecordBytes> records(static_cast<std::size_t>(count));
  for (int slot = 0; slot < count; ++slot) {
    const auto bytes = image.Slot(slot);
    std::copy(bytes.begin(), bytes.end(), records[static_cast<std::size_t>(slot)].begin());
  }
  return records;
}

LoadedRecords LoadTlgRecords(const std::string& path) {
  // One byte more than an image, to tell a longer file from an image.
  auto buffer = std::make_unique<std::array<std::uint8_t, kLogImageSize + 1>>();
  std::size_t bytesRead = 0;
  if (ReadFileStart(path, *buffer, bytesRead) != FileStatus::Ok) {
    return {{}, "cannot read the log file '" + path + "'"};
  }
  if (bytesRead != kLogImageSize) {
    return {{},
            "the log file '" + path + "' is not a log image of " + std::to_string(kLogImageSize) +
                " bytes"};
  }
  auto image = std::make_unique<LogImage>();
  std::copy_n(buffer->begin(), kLogImageSize, image->bytes.begin());
  return {CountedRecords(*image), {}};
}

std::vector<RecordBytes> GeneratedRecords(int count, unsigned seed) {
  const auto image = std::make_unique<LogImage>(samples::MakeRealisticLog(count, seed));
  return CountedRecords(*image);
}

BusConfig OneMeter(std::vector<RecordBytes> records) {
  BusConfig config;
  config.adapters.emplace_back();
  config.adapters.back().meter->records = std::move(records);
  return config;
}

}  // namespace klxr::vm
