// The demo: the programs talk to the virtual meter holding the bundled sample log instead of a real
// meter, so that every command can be tried without one. Both files are found relative to the
// program's own folder, in the installed layout or in the build tree, so no environment is needed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace klxr {

// The option that selects the demo, in both programs.
inline constexpr std::string_view kDemoOption = "--demo";

// The virtual meter's loadable library and the sample log it holds.
struct DemoFiles {
  std::filesystem::path library;
  std::filesystem::path sampleLog;
};

// The folders searched, relative to the program's folder, first match wins: the installed layout
// (bin/ beside lib/klxr-log/ and share/klxr-log/samples/), then the build tree (the program's
// folder beside virtual-meter/ and samples/), then the Windows installation (the library beside
// the program, the samples in its samples/ folder).
std::optional<DemoFiles> FindDemoFiles(const std::filesystem::path& programFolder);

// The folder of the running program's file; argv0's folder when the system cannot tell.
std::filesystem::path ProgramFolder(const char* argv0);

// Makes the driver loading pick the virtual meter holding the sample log: sets KLXR_D2XX_LIBRARY
// and KLXR_VM_LOG for this process and clears the virtual meter's other log sources
// (KLXR_VM_RECORDS, KLXR_VM_SCENARIO), which would conflict. Returns an explanation when the
// demo's files are missing, else an empty text.
std::string EnterDemoMode(const char* argv0);

}  // namespace klxr
