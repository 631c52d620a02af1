#include "link/demo_setup.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <system_error>

#include "link/driver_library.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

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

fs::path RunningProgramFile() {
#if defined(_WIN32)
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      return {};
    }
    if (length < buffer.size()) {
      buffer.resize(length);
      return fs::path(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
#elif defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string buffer(size, '\0');
  if (_NSGetExecutablePath(buffer.data(), &size) != 0) {
    return {};
  }
  return fs::path(buffer.c_str());
#else
  std::error_code error;
  fs::path file = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : file;
#endif
}

void SetVariable(const char* name, const std::string& value) {
#if defined(_WIN32)
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

void ClearVariable(const char* name) {
#if defined(_WIN32)
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
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
  fs::path file = RunningProgramFile();
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
  SetVariable(kDriverLibraryVariable, files->library.string());
  SetVariable("KLXR_VM_LOG", files->sampleLog.string());
  ClearVariable("KLXR_VM_RECORDS");
  ClearVariable("KLXR_VM_SCENARIO");
  return {};
}

}  // namespace klxr
