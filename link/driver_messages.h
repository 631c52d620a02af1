// What the user is told when the adapter driver or the USB lead cannot be used: one text for each
// situation, built here for both programs. A text names the file the program looked for on this
// platform (or the one the environment named) and says what to do. The catalogue's boxes stay as
// they are: the desktop program shows this text as the box's detail, the command-line tool writes
// it to standard error after the box's text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "link/d2xx_api.h"
#include "link/driver_library.h"

namespace klxr {

enum class DriverSituation {
  kLibraryMissing,   // no driver library file could be loaded
  kFunctionMissing,  // a library file loaded but lacks a function the program needs
  kNoLead,           // the driver finds no adapter at the device index asked for
  kLeadInUse,        // another program holds the adapter
  kNoPermission,     // the adapter is attached but this user may not open it
  kLeadFailed,       // the driver failed on the adapter in another way
};

// Which driver file the program looks for on this platform, where, and that the environment
// variable can name another: a few sentences.
std::string DriverSearchText();

// The situation of a failed FT_Open, or of the line set-up that follows it.
DriverSituation SituationOfOpenFailure(d2xx::FT_STATUS status);

// The situation of a driver library that could not be loaded.
DriverSituation SituationOfLoadFailure(const DriverLoadDiagnosis& diagnosis);

// "FT_OK", "FT_DEVICE_NOT_FOUND", ...; "status N" for a code the driver does not define.
std::string DriverStatusName(d2xx::FT_STATUS status);

// The text for a driver library that could not be loaded: every file tried with the system's
// reason, and what to do on this platform.
std::string LibraryProblemText(const DriverLoadDiagnosis& diagnosis);

// The text for a lead that could not be opened or set up: the device index, the situation of the
// driver's status, and what to do.
std::string LeadProblemText(std::int32_t deviceIndex, d2xx::FT_STATUS status);

}  // namespace klxr
