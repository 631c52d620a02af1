#include "log/log_files.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "log/record_format.h"
#include "log/record_lines.h"

namespace klxr {
namespace {

// Enough for the CSV line of most records, so the export text grows once.
constexpr std::size_t kTypicalCsvLineSize = 160;

// Turns the outcome of reading the start of a file (one byte more than an image: a longer file
// fills the buffer and is refused without asking its size) into the load's result and report.
int TakeLoadedBytes(FileStatus status, const std::vector<std::uint8_t>& buffer,
                    std::size_t bytesRead, LogImage& image, ViewCommand* window,
                    MessageBoxes& boxes, bool quietMode) {
  if (status != FileStatus::Ok) {
    if (!quietMode) {
      ShowMessage(boxes, msg::kInvalidBinaryFile, BoxKind::Error);
    }
    return 1;
  }
  if (bytesRead != kLogImageSize) {
    ShowMessage(boxes, msg::kInvalidDataFile, BoxKind::Error);
    return -1;
  }
  std::copy_n(buffer.begin(), kLogImageSize, image.bytes.begin());
  if (window != nullptr) {
    window->SetViewEnabled(true);
  }
  return 0;
}

}  // namespace

int LoadLogFile(LogImage& image, const std::string& path, ViewCommand* window, MessageBoxes& boxes,
                bool quietMode) {
  return LoadLogFile(image, path, window, boxes, quietMode, FileHooks{});
}

int LoadLogFile(LogImage& image, const std::string& path, ViewCommand* window, MessageBoxes& boxes,
                bool quietMode, const FileHooks& hooks) {
  std::vector<std::uint8_t> buffer(kLogImageSize + 1);
  std::size_t bytesRead = 0;
  const FileStatus status = ReadFileStart(path, buffer, bytesRead, hooks);
  return TakeLoadedBytes(status, buffer, bytesRead, image, window, boxes, quietMode);
}

int LoadLogStream(LogImage& image, std::FILE* stream, ViewCommand* window, MessageBoxes& boxes,
                  bool quietMode, const FileHooks& hooks) {
  std::vector<std::uint8_t> buffer(kLogImageSize + 1);
  std::size_t bytesRead = 0;
  const FileStatus status = ReadStreamStart(stream, buffer, bytesRead, hooks);
  return TakeLoadedBytes(status, buffer, bytesRead, image, window, boxes, quietMode);
}

int CountFileRecords(const std::string& path) {
  std::vector<std::uint8_t> buffer(kLogImageSize + 1);
  std::size_t bytesRead = 0;
  if (ReadFileStart(path, buffer, bytesRead) != FileStatus::Ok || bytesRead != kLogImageSize) {
    return 0;
  }
  const auto image = std::make_unique<LogImage>();
  std::copy_n(buffer.begin(), kLogImageSize, image->bytes.begin());
  return CountRecords(*image, nullptr);
}

int SaveLogFile(const LogImage& image, const std::string& path, MessageBoxes& boxes,
                bool quietMode) {
  return SaveLogFile(image, path, boxes, quietMode, FileHooks{});
}

int SaveLogFile(const LogImage& image, const std::string& path, MessageBoxes& boxes, bool quietMode,
                const FileHooks& hooks) {
  return ReportWriteOutcome(ReplaceFile(path, std::span(image.bytes), hooks), boxes, quietMode);
}

int ExportCsv(const LogImage& image, const std::string& path, int recordCount, MessageBoxes& boxes,
              bool quietMode) {
  return ExportCsv(image, path, recordCount, boxes, quietMode, FileHooks{});
}

int ExportCsv(const LogImage& image, const std::string& path, int recordCount, MessageBoxes& boxes,
              bool quietMode, const FileHooks& hooks) {
  return ReportWriteOutcome(ReplaceFile(path, MakeCsvText(image, recordCount), hooks), boxes,
                            quietMode);
}

int ReportWriteOutcome(FileStatus status, MessageBoxes& boxes, bool quietMode) {
  switch (status) {
    case FileStatus::Ok:
      return 0;
    case FileStatus::CannotOpen:
      if (!quietMode) {
        ShowMessage(boxes, msg::kCantSaveProgramImage, BoxKind::Error);
      }
      return -1;
    case FileStatus::WriteFailed:
      break;
  }
  ShowMessage(boxes, msg::kCantSaveProgramImage, BoxKind::Error);
  return -1;
}

std::string MakeCsvText(const LogImage& image, int recordCount) {
  const int count = std::clamp(recordCount, 0, kSlotCount);
  std::string text(kCsvHeader);
  text.reserve(kCsvHeader.size() + std::size_t(count) * kTypicalCsvLineSize);
  DecodedEntry entry;
  for (int index = 0; index < count; ++index) {
    FormatRecord(image, index, entry, kUnitsDbuv);
    text += entry.CsvLine;
  }
  return text;
}

std::optional<std::chrono::system_clock::time_point> LogFileTime(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_time_type modified =
      std::filesystem::last_write_time(std::filesystem::path(path), error);
  if (error) {
    return std::nullopt;
  }
  return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(modified));
}

}  // namespace klxr
