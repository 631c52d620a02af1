// Starting a program on Windows with its standard streams on files, without cmd.exe.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace klxr::testing {

// Runs the program words[0] with the arguments words[1...] (8-bit text in the system's code page),
// its standard input read from in and its output and error streams written to out and err, and
// waits for it. Returns its exit status, or 9009 (the command interpreter's "not found") when it
// cannot be started. The program is started directly, not through cmd.exe: the command interpreter
// under wine now and then fails to find a program when two of them start at the same moment.
int RunProcessWithStreams(const std::vector<std::string>& words, const std::filesystem::path& in,
                          const std::filesystem::path& out, const std::filesystem::path& err);

}  // namespace klxr::testing
