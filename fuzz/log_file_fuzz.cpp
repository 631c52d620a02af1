// Fuzz target: an arbitrary file as a .tlg log through the loader, every record of a loaded log
// through the display-line and CSV formatting in both units, and the CSV export to a file, which
// must hold exactly the export's text. An input of whole 64-byte records is padded with empty slots
// to the size of a log image, so that most runs get past the size check; any other input is loaded
// as it is.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/log_files.h"
#include "log/log_image.h"
#include "log/record_format.h"

namespace {

class SilentBoxes : public klxr::MessageBoxes {
 public:
  void Show(int, std::string_view, klxr::BoxKind) override {}
  klxr::Answer Ask(int, std::string_view) override { return klxr::Answer::Cancel; }
};

// A broken invariant: names the line, then aborts so that the fuzzer keeps the input.
void Require(bool condition, int line = __builtin_LINE()) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken at %s:%d\n", __FILE__, line);
    std::abort();
  }
}

// A folder of this process's own for the files of each run, removed at exit.
const std::string& WorkFolder() {
  // Never destroyed: the exit handler that removes the folder runs after static destructors would.
  static const std::string* const folder = [] {
    // In memory where the system offers it: the export's flush of the folder then costs nothing.
    std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/klxr-fuzz-log-XXXXXX"
                                                        : "/tmp/klxr-fuzz-log-XXXXXX";
    Require(mkdtemp(pattern.data()) != nullptr);
    return new std::string(pattern);
  }();
  return *folder;
}

void RemoveWorkFolder() {
  for (const char* name : {"/in.tlg", "/out.csv"}) {
    std::remove((WorkFolder() + name).c_str());
  }
  rmdir(WorkFolder().c_str());
}

std::vector<std::uint8_t> FileContent(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> content(data, data + size);
  if (size > 0 && size % klxr::kRecordSize == 0 && size < klxr::kLogImageSize) {
    content.resize(klxr::kLogImageSize, 0);
  }
  return content;
}

std::string ReadBack(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::atexit(RemoveWorkFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = WorkFolder() + "/in.tlg";
  const std::string output = WorkFolder() + "/out.csv";
  const std::vector<std::uint8_t> content = FileContent(data, size);
  {
    std::ofstream file(input, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(content.data()),
               static_cast<std::streamsize>(content.size()));
  }
  SilentBoxes boxes;
  auto image = std::make_unique<klxr::LogImage>();
  const int loaded = klxr::LoadLogFile(*image, input, nullptr, boxes, false);
  Require(loaded == (content.size() == klxr::kLogImageSize ? 0 : -1));
  if (loaded != 0) {
    return 0;
  }
  Require(std::equal(content.begin(), content.end(), image->bytes.begin()));
  const int count = klxr::CountRecords(*image, nullptr);
  Require(count >= 0 && count <= klxr::kSlotCount);
  for (int index = 0; index < count; ++index) {
    for (std::uint8_t units : {klxr::kUnitsDbm, klxr::kUnitsDbuv}) {
      klxr::DecodedEntry entry;
      Require(klxr::FormatRecord(*image, index, entry, units));
      Require(!entry.DisplayLine.empty() && entry.CsvLine.ends_with("\r\n"));
    }
  }
  // The export is written as always, but not flushed to the disk: that would cost each run
  // milliseconds and test nothing the fuzzer can reach.
  klxr::FileHooks noDiskFlush;
  noDiskFlush.sync = [](std::FILE*) { return true; };
  Require(klxr::ExportCsv(*image, output, count, boxes, false, noDiskFlush) == 0);
  Require(ReadBack(output) == klxr::MakeCsvText(*image, count));
  return 0;
}
