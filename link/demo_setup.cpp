#include "link/demo_setup.h"

#include <array>
#include <system_error>

#include "link/driver_library.h"
#include "platform/environment.h"
#include "platform/program_file.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;

struct DemoLayout {
  const char* libraryFolder;
  const char* samplesFolder;
};

// Installed (bin/klxr-log beside lib/klxr-log/ and share/klxr-log/samples/), build tree
// (build/cli/klxr-log-cli beside build/virtual-meter/ and build/samples/) and installed on Windows
// (the programs, the virtual meter's DLL and samples/ in one folder, as Windows programs keep
// their DLLs beside them).
constexpr std::array<DemoLayout, 3> kLayouts{{
    {"../lib/klxr-log", "../share/klxr-log/samples"},
    {"../virtual-meter", "../samples"},
    {".", "samples"},
}};

constexpr const char* kSampleLogName = "mixed.tlg";

bool IsRegularFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

}  // namespace

std::optional<DemoFiles> FindDemoFiles(const fs::path& programFolder) {
  std::optional<fs::path> library;
  std::optional<fs::path> sampleLog;
  for (const DemoLayout& layout : kLayouts) {
    const fs::path libraryFile =
        programFolder / layout.libraryFolder / KLXR_VIRTUAL_METER_FILE_NAME;
    if (!library && IsRegularFile(libraryFile)) {
      library = libraryFile.lexically_normal();
    }
    const fs::path sampleFile = programFolder / layout.samplesFolder / kSampleLogName;
    if (!sampleLog && IsRegularFile(sampleFile)) {
      sampleLog = sampleFile.lexically_normal();
    }
  }
  if (!library || !sampleLog) {
    return std::nullopt;
  }
  return DemoFiles{*library, *sampleLog};
}

fs::path ProgramFolder(const char* argv0) {
  fs::path file = platform::RunningProgramFile();
  if (file.empty() && argv0 != nullptr) {
    std::error_code error;
    file = fs::absolute(fs::path(argv0), error);
  }
  return file.parent_path();
}

std::string EnterDemoMode(const char* argv0) {
  const fs::path folder = ProgramFolder(argv0);
  const std::optional<DemoFiles> files = FindDemoFiles(folder);
  if (!files) {
    return "the virtual meter (" + std::string(KLXR_VIRTUAL_METER_FILE_NAME) +
           ") or the sample log (" + kSampleLogName + ") was not found beside " + folder.string();
  }
  platform::SetEnvironmentValue(kDriverLibraryVariable, files->library.string());
  platform::SetEnvironmentValue("KLXR_VM_LOG", files->sampleLog.string());
  platform::ClearEnvironmentValue("KLXR_VM_RECORDS");
  platform::ClearEnvironmentValue("KLXR_VM_SCENARIO");
  return {};
}

}  // namespace klxr
