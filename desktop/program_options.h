// The desktop program's own options, each a whole argument of its own: "--help" and "--version"
// print and end the program before any window opens; "--demo" talks to the virtual meter holding
// the bundled sample log. They contain no "+", so they never change what the quiet-mode scan finds.
#pragma once

#include <string_view>

namespace klxr {

struct ProgramOptions {
  bool help = false;
  bool version = false;
  bool demo = false;
};

// The options among argv[1] onwards; every other argument is left to the command-line scan.
ProgramOptions ScanProgramOptions(int argc, const char* const* argv);

// The text of "klxr-log --help".
std::string_view DesktopHelpText();

// The text of "klxr-log --version".
std::string_view DesktopVersionText();

}  // namespace klxr
