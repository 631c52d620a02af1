// The running program's own file, from which the driver beside the program and the demo's files
// are found.
#pragma once

#include <filesystem>
#include <string>

namespace klxr::platform {

// The running program's executable file; empty when the system cannot tell.
std::filesystem::path RunningProgramFile();

// The folder that holds the running program's executable file, in the system's narrow file-name
// form; empty when it cannot be found.
std::string ProgramFolder();

}  // namespace klxr::platform
