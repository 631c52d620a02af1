// The program's command line: the text of the arguments after the program name, joined by blanks,
// and the scan that finds the quiet option "+Q" in it; and the log file named among the arguments.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace klxr {

// The command-line text: the arguments after the program name (argv[1] onwards), joined by single
// blanks; empty when there are none.
std::string CommandLineText(int argc, const char* const* argv);

// Whether the command-line text selects quiet mode. The text is walked from its first character;
// at each "+" the character after it is taken together with it, and an upper-case "Q" there selects
// quiet mode. The walk then goes on after that character, so the character after a "+" is never
// itself taken as a new "+" ("++Q" does not count). There are no word boundaries: "x+Qy" counts. A
// "+" at the very end ends the walk.
bool ScanQuietMode(std::string_view commandLine);

// The switches of the command-line text, found in one walk as ScanQuietMode walks: "+Q" selects
// quiet mode, "+P" paced transfer (each reply waited for as long as a read may wait, as the
// program did before fast transfer).
struct CommandLineSwitches {
  bool quiet = false;
  bool paced = false;
};
CommandLineSwitches ScanCommandLineSwitches(std::string_view commandLine);

// The log file the arguments (argv[1] onwards, one by one) name: the first one that is neither an
// option ("-" and what starts with it, such as "--demo") nor a "+" switch ("+Q"); after "--" the
// next argument is the file whatever it starts with. None when no argument names one. A name with
// blanks is one argument, as the system's shell or the file manager passes it.
std::optional<std::string> LogFileArgument(const std::vector<std::string>& arguments);

}  // namespace klxr
