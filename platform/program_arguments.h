// The program's arguments in the form its file functions take names.
#pragma once

#include <string>
#include <vector>

namespace klxr::platform {

// The arguments after the program name (argv[1] onwards), one string each. On POSIX systems these
// are argv's own bytes. On Windows they are read from the wide command line and put in the 8-bit
// form the program's file functions use, so that a file name with letters outside the ASCII range
// opens; a name that form cannot hold is given by its short (8.3) alias where the file has one.
std::vector<std::string> ProgramArguments(int argc, const char* const* argv);

}  // namespace klxr::platform
