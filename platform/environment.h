// The process environment: the variables that name another driver file and configure the virtual
// meter are read and, for the demo, set here.
#pragma once

#include <string>

namespace klxr::platform {

// The value of an environment variable; empty when it is not set.
std::string EnvironmentValue(const char* name);

// Sets the variable for this process and the programs and libraries it starts or loads.
void SetEnvironmentValue(const char* name, const std::string& value);

// Removes the variable from this process's environment.
void ClearEnvironmentValue(const char* name);

}  // namespace klxr::platform
