// The desktop program's process-wide state, in one plain struct owned by the application object and
// passed by reference: the log image and where it came from, the quiet mode, the caption, the
// loaded driver library, the shared ComAccess, the file chooser's request, and what the meter
// conversations work in (with the download state). A fresh AppState is a fresh start, as after the
// program's start-up steps 1 and 2.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "desktop/chooser_request.h"
#include "link/com_access.h"
#include "link/d2xx_api.h"
#include "link/driver_library.h"
#include "link/meter_discovery.h"
#include "link/meter_link.h"
#include "log/log_image.h"
#include "resources/message_catalogue.h"

namespace klxr {

// The caption before the string table's is loaded.
inline constexpr char kInitialCaption[] = "Quorvel KLXR";
// The caption and the window title have the capacity of a 100-byte buffer with its terminator.
inline constexpr std::size_t kCaptionCapacity = 100;

// The driver as start-up finds it: the functions of a loaded library (which the library object
// keeps loaded), or a table given directly (tests). No functions means no driver.
struct LoadedDriver {
  std::unique_ptr<DriverLibrary> library;  // null when the table was given directly
  d2xx::D2xxFunctions functions;
};

// Where the log image came from, for the report's header: a Read of the meter, or a .tlg file and
// its modification time when it was loaded. Neither when nothing was read or loaded.
struct LogOrigin {
  bool readFromMeter = false;
  std::optional<std::chrono::system_clock::time_point> fileTime{};  // none when not from a file
};

// The meter that Read and Erase talk to, as the main window's title names it.
struct TitleMeter {
  bool demo = false;             // the virtual meter of --demo
  int deviceIndex = 0;           // the driver's index of its device
  std::string_view versionText;  // its version text, as the device list showed it
};

// The main window's title: the caption, after the survey that holds the log image when there is
// one ("Survey 12 - KL-XR Meter - Log"). The survey comes first, as a document's name does, so
// that a narrow title bar that shortens the title keeps it. The meter follows the caption when it
// is not the first device of a real driver: " - demo meter" for the virtual meter of --demo, and
// for another device its number counted from 1 and its version text, " - meter 2 (KLXR V2.31 S/N
// 104512)" (" - demo meter 2 (...)" for another device of the virtual meter).
std::string MainWindowTitle(std::string_view caption, std::optional<std::int64_t> survey,
                            const TitleMeter& meter = {});

struct AppState {
  explicit AppState(MessageBoxes& boxes) : Link(Image, boxes) {}
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  klxr::LogImage Image;  // LogImage
  LogOrigin ImageOrigin;
  bool QuietMode = false;
  std::string AppCaption = kInitialCaption;
  // The driver; Link.DriverLibrary points at its functions while it is loaded.
  std::unique_ptr<LoadedDriver> Driver;
  // The one shared port of the download and the erase; Link.SharedPort points at it.
  std::unique_ptr<ComAccess> SharedComAccess;
  klxr::ChooserRequest Chooser;  // ChooserRequest
  MeterLink Link;                // the conversations' context, with the download state
  // Whether the driver is the virtual meter of --demo; the title says so.
  bool DemoMeter = false;
  // The version text of the meter the user picked in the device list (Link.DeviceIndex is its
  // device); empty until a pick.
  std::string PickedMeterText;
  // The survey of the archive that holds the log image, for the shells to show: the last Read's
  // when it was kept, or the survey opened from the history; none before a Read ended, when it was
  // not kept, or after a Load.
  std::optional<std::int64_t> LastSurvey;
};

// The meter picked in the device list becomes the one Read and Erase use until the program ends.
void PickMeter(AppState& state, const ListedMeter& meter);

// What the title says about the meter in use (MainWindowTitle).
TitleMeter MeterInUse(const AppState& state);

}  // namespace klxr
