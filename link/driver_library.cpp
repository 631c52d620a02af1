#include "link/driver_library.h"

#include <utility>

#include "platform/environment.h"
#include "platform/program_file.h"
#include "platform/shared_library.h"

namespace klxr {
namespace {

// Looks up one function by its exported name into its table entry. Returns false when absent.
template <typename Function>
bool Resolve(platform::LibraryHandle library, const char* name, Function& entry,
             std::string& missing) {
  entry = reinterpret_cast<Function>(platform::FindLibrarySymbol(library, name));
  if (entry == nullptr && missing.empty()) {
    missing = name;
  }
  return entry != nullptr;
}

// Fills every required entry of the table; on failure missing names the first function not found.
bool ResolveAll(platform::LibraryHandle library, d2xx::D2xxFunctions& table, std::string& missing) {
  bool ok = true;
#define KLXR_RESOLVE_REQUIRED(name, shortName, parameters, arguments) \
  ok &= Resolve(library, #name, table.name, missing);
  KLXR_D2XX_REQUIRED_FUNCTIONS(KLXR_RESOLVE_REQUIRED)
#undef KLXR_RESOLVE_REQUIRED
  return ok;
}

// Looks up the optional functions; a library without them still loads (and transfers paced).
void ResolveOptional(platform::LibraryHandle library, d2xx::D2xxFunctions& table) {
  std::string ignored;
#define KLXR_RESOLVE_OPTIONAL(name, shortName, parameters, arguments) \
  Resolve(library, #name, table.name, ignored);
  KLXR_D2XX_OPTIONAL_FUNCTIONS(KLXR_RESOLVE_OPTIONAL)
#undef KLXR_RESOLVE_OPTIONAL
}

}  // namespace

std::unique_ptr<DriverLibrary> DriverLibrary::Load(DriverLoadDiagnosis* diagnosis) {
  const std::string environmentValue = platform::EnvironmentValue(kDriverLibraryVariable);
  const std::vector<std::string> candidates =
      DriverLibraryCandidates(environmentValue, platform::ProgramFolder());
  std::unique_ptr<DriverLibrary> library;
  DriverLoadDiagnosis last;
  std::vector<DriverLoadAttempt> attempts;
  for (const std::string& candidate : candidates) {
    library = LoadNamed(candidate, &last);
    attempts.push_back({last.libraryName, last.problem, last.missingFunction});
    if (library != nullptr) {
      break;
    }
  }
  if (diagnosis != nullptr) {
    *diagnosis = std::move(last);
    diagnosis->attempts = std::move(attempts);
    diagnosis->namedByEnvironment = !environmentValue.empty();
  }
  return library;
}

std::vector<std::string> DriverLibrary::DriverLibraryCandidates(std::string_view environmentValue,
                                                                std::string_view programFolder) {
  if (!environmentValue.empty()) {
    return {std::string(environmentValue)};
  }
  std::vector<std::string> candidates;
#if defined(__linux__)
  if (!programFolder.empty()) {
    const std::string up = std::string(programFolder) + "/../";
    candidates.push_back(up + "open-driver/" + kOpenDriverFileName);
    candidates.push_back(up + "lib/klxr-log/" + kOpenDriverFileName);
  }
#else
  (void)programFolder;
#endif
  candidates.emplace_back(platform::DefaultDriverLibraryName());
  return candidates;
}

std::unique_ptr<DriverLibrary> DriverLibrary::LoadNamed(const std::string& libraryName,
                                                        DriverLoadDiagnosis* diagnosis) {
  DriverLoadDiagnosis report;
  report.libraryName = libraryName;
  std::unique_ptr<DriverLibrary> result;
  platform::LibraryHandle library = platform::OpenSharedLibrary(libraryName, report.problem);
  if (library != nullptr) {
    d2xx::D2xxFunctions table;
    std::string missing;
    if (ResolveAll(library, table, missing)) {
      ResolveOptional(library, table);
      result.reset(new DriverLibrary(library, libraryName, table));
    } else {
      report.problem = "the library has no function " + missing;
      report.missingFunction = missing;
      platform::CloseSharedLibrary(library);
    }
  }
  if (diagnosis != nullptr) {
    *diagnosis = std::move(report);
  }
  return result;
}

std::string DriverLibrary::ChooseDriverLibraryName(std::string_view environmentValue) {
  if (!environmentValue.empty()) {
    return std::string(environmentValue);
  }
  return platform::DefaultDriverLibraryName();
}

DriverLibrary::DriverLibrary(void* library, std::string libraryName,
                             const d2xx::D2xxFunctions& functions)
    : library_(library), libraryName_(std::move(libraryName)), functions_(functions) {}

DriverLibrary::~DriverLibrary() {
  platform::CloseSharedLibrary(library_);
}

}  // namespace klxr
