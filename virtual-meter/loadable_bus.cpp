#include "virtual-meter/loadable_bus.h"

#include <cstdio>

#include "virtual-meter/environment_config.h"

namespace klxr::vm {
namespace {

BusConfig ConfigOrNoDevices() {
  ParsedConfig parsed = ConfigFromEnvironment(&ProcessEnvironment);
  if (!parsed.Ok()) {
    for (const std::string& error : parsed.errors) {
      std::fprintf(stderr, "klxr-virtual-meter: configuration error: %s\n", error.c_str());
    }
    std::fputs("klxr-virtual-meter: no devices are attached until the configuration is mended\n",
               stderr);
    parsed.config.adapters.clear();
  }
  return std::move(parsed.config);
}

}  // namespace

VirtualBus& LoadableBus() {
  static VirtualBus bus(ConfigOrNoDevices());
  return bus;
}

}  // namespace klxr::vm
