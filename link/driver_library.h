// The adapter driver, loaded once at start-up: the library named by the environment variable
// KLXR_D2XX_LIBRARY (the virtual meter is loaded that way) when it is set; otherwise, on Linux, the
// open-source back end bundled beside the program and then the vendor's library; elsewhere the
// vendor's library by its platform name. Without a DriverLibrary object there is no driver, and
// the caller tells the user.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/d2xx_api.h"

namespace klxr {

// Names another driver library file to load instead of the vendor's, when set and not empty.
inline constexpr const char* kDriverLibraryVariable = "KLXR_D2XX_LIBRARY";

// The file of the open-source back end that the program carries on Linux.
inline constexpr const char* kOpenDriverFileName = "libklxr-open-driver.so";

// One file tried and why it did not load: the system's text, or "the library has no function X".
struct DriverLoadAttempt {
  std::string libraryName;
  std::string problem;
  std::string missingFunction;  // set when the file loaded but lacks this function
};

// Why loading failed, for diagnostics: the last file tried and the reason (the system's text, or
// the name of a function the library lacks), and every file tried before it. The reason is empty
// after a successful load.
struct DriverLoadDiagnosis {
  std::string libraryName;
  std::string problem;
  std::string missingFunction;
  std::vector<DriverLoadAttempt> attempts;  // every file tried, in order, the last one included
  bool namedByEnvironment = false;          // the file came from KLXR_D2XX_LIBRARY
};

class DriverLibrary {
 public:
  // Loads the first of DriverLibraryCandidates that loads and has all fifteen functions. Null
  // when none does; diagnosis, when given, then says why the last one failed.
  static std::unique_ptr<DriverLibrary> Load(DriverLoadDiagnosis* diagnosis = nullptr);

  // The files to try, in order: the environment's value alone when it is not empty; on Linux the
  // bundled open-source back end beside the program in the build tree (<programFolder>/../
  // open-driver/) and in the installed layout (<programFolder>/../lib/klxr-log/), then the
  // vendor's library; elsewhere the vendor's library.
  static std::vector<std::string> DriverLibraryCandidates(std::string_view environmentValue,
                                                          std::string_view programFolder);

  // Loads this library file (a bare name goes through the system's search).
  static std::unique_ptr<DriverLibrary> LoadNamed(const std::string& libraryName,
                                                  DriverLoadDiagnosis* diagnosis = nullptr);

  // The file name to load: the environment's value when it is not empty, else the platform's
  // name of the vendor's library.
  static std::string ChooseDriverLibraryName(std::string_view environmentValue);

  ~DriverLibrary();
  DriverLibrary(const DriverLibrary&) = delete;
  DriverLibrary& operator=(const DriverLibrary&) = delete;

  // All fifteen entries are set.
  const d2xx::D2xxFunctions& Functions() const { return functions_; }
  const std::string& LibraryName() const { return libraryName_; }

 private:
  DriverLibrary(void* library, std::string libraryName, const d2xx::D2xxFunctions& functions);

  void* library_;
  std::string libraryName_;
  d2xx::D2xxFunctions functions_;
};

}  // namespace klxr
