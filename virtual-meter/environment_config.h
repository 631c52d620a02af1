// How the loadable driver library configures its bus: from a scenario file (KLXR_VM_SCENARIO) or
// from variables for the common cases (see README.md):
//   KLXR_VM_DEVICES     a count of meter leads, or a comma list of: meter, factory, silent, in-use
//   KLXR_VM_LOG         a .tlg file every meter serves
//   KLXR_VM_RECORDS     a count of generated records every meter serves (default 100)
//   KLXR_VM_VERSION     the version text of every meter
//   KLXR_VM_CLOCK       real (the default) or virtual
//   KLXR_VM_TRANSCRIPT  a file to which the transcript is appended as text lines
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "virtual-meter/scenario_parser.h"

namespace klxr::vm {

// Looks up one environment variable: its value, or nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// The process's own environment.
std::optional<std::string> ProcessEnvironment(const char* name);

// The lookup with the file names of KLXR_VM_SCENARIO, KLXR_VM_LOG and KLXR_VM_TRANSCRIPT made
// absolute: a relative one is taken from `folder` (left as it is when folder is empty).
EnvironmentLookup WithFilesFrom(std::string folder, EnvironmentLookup lookup);

// The bus configuration the variables describe. The clock defaults to real time; a virtual clock
// here also counts the real time between driver calls, since the program's own pauses do not go
// through the bus. Every problem is listed in the errors.
ParsedConfig ConfigFromEnvironment(const EnvironmentLookup& lookup);

}  // namespace klxr::vm
