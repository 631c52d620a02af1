// The bus of the loadable driver library: made on first use from the environment (see
// environment_config.h) and kept until the process ends. Relative file names in the environment
// are taken from the folder that was current when the library was loaded.
#pragma once

#include "virtual-meter/virtual_bus.h"

namespace klxr::vm {

// The library's one bus. Configuration problems are written to standard error once, when it is
// made, and the bus then has no devices, so that the program finds no adapter rather than one that
// differs from what was asked for.
VirtualBus& LoadableBus();

}  // namespace klxr::vm
