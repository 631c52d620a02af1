// The adapter driver, loaded once at start-up: the vendor's library by its platform name, or the
// library named by the environment variable KLXR_D2XX_LIBRARY (the virtual meter is loaded that
// way). Without a DriverLibrary object there is no driver, and the caller tells the user.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "link/d2xx_api.h"

namespace klxr {

// Names another driver library file to load instead of the vendor's, when set and not empty.
inline constexpr const char* kDriverLibraryVariable = "KLXR_D2XX_LIBRARY";

// Why loading failed, for diagnostics: the file tried and the reason (the system's text, or the
// name of a function the library lacks). The reason is empty after a successful load.
struct DriverLoadDiagnosis {
  std::string libraryName;
  std::string problem;
};

class DriverLibrary {
 public:
  // Loads the library that ChooseDriverLibraryName picks. Null when the library cannot be loaded
  // or lacks any of the fifteen functions; diagnosis, when given, then says why.
  static std::unique_ptr<DriverLibrary> Load(DriverLoadDiagnosis* diagnosis = nullptr);

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
