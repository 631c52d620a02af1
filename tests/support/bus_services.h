// The start-up services of a desktop program whose driver is the in-process virtual bus.
#pragma once

#include <memory>
#include <string>

#include "desktop/application.h"
#include "link/com_access.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::testing {

inline StartUpServices BusServices(vm::VirtualBus& bus) {
  StartUpServices services;
  services.loadDriver = [](std::string&) {
    auto driver = std::make_unique<LoadedDriver>();
    driver->functions = vm::VirtualBus::Functions();
    return driver;
  };
  services.makeComAccess = [](const d2xx::D2xxFunctions& functions) {
    return std::make_unique<ComAccess>(functions);
  };
  services.sleep = bus.SleepFunction();
  return services;
}

}  // namespace klxr::testing
