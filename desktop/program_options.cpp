#include "desktop/program_options.h"

#include "link/demo_setup.h"

namespace klxr {
namespace {

constexpr std::string_view kHelpText =
    "Usage: klxr-log [+Q] [+P] [--demo]\n"
    "       klxr-log [+Q] [+P] [--demo] FILE.tlg\n"
    "       klxr-log --help | --version\n"
    "\n"
    "The desktop companion of the KL-XR handheld TV signal meter. Over the meter's USB lead it\n"
    "reads the meter's measurement log with a progress bar, shows it as a table in dBm or dBuV,\n"
    "saves and loads the raw .tlg log image, exports CSV, erases the meter's log and lists the\n"
    "meters attached, from the window's menu. A FILE.tlg named on the command line (or opened\n"
    "from the file manager) is loaded at start as Load loads it.\n"
    "\n"
    "Options:\n"
    "  +Q          do not report files that cannot be opened or created; counts anywhere on the\n"
    "              command line, also inside a word\n"
    "  +P          paced transfer: wait for each reply as long as a read may wait (about five\n"
    "              minutes for a full log) instead of taking it the moment it is in\n"
    "  --demo      talk to the virtual meter holding the bundled sample log instead of a meter,\n"
    "              to try every command without one; its reads are kept in a survey archive of\n"
    "              their own (demo-surveys.sqlite), not among real surveys\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Environment:\n"
    "  KLXR_D2XX_LIBRARY   the driver library file to load instead of the bundled open-source\n"
    "                      back end or the adapter maker's, such as the virtual meter\n"
    "  KLXR_SETTINGS_FILE  the settings file, where the folders last used are remembered\n"
    "                      (default $XDG_CONFIG_HOME/klxr-log/settings.ini, that is\n"
    "                      ~/.config/klxr-log/settings.ini; the values of an earlier\n"
    "                      ~/.config/KLXRPlusData.ini are moved there at the first start)\n"
    "  KLXR_AUTOMATION     a script that drives the program, for demos and tests\n"
    "\n"
    "The command-line companion klxr-log-cli shows, exports and reads logs from a terminal.\n";

constexpr std::string_view kVersionText = "klxr-log " KLXR_VERSION "\n";

}  // namespace

ProgramOptions ScanProgramOptions(int argc, const char* const* argv) {
  ProgramOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == kDemoOption) {
      options.demo = true;
    }
  }
  return options;
}

std::string_view DesktopHelpText() {
  return kHelpText;
}

std::string_view DesktopVersionText() {
  return kVersionText;
}

}  // namespace klxr
