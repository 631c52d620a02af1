#include "virtual-meter/loadable_bus.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "virtual-meter/environment_config.h"

namespace klxr::vm {
namespace {

std::string CurrentFolder() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  return error ? std::string() : folder.string();
}

// The folder the program was in when it loaded the library. The bus is made at the first driver
// call, by which time the program may have changed its current folder (the file chooser does), so
// relative file names in the configuration are taken from here.
const std::string kFolderAtLoad = CurrentFolder();

BusConfig ConfigOrNoDevices() {
  ParsedConfig parsed = ConfigFromEnvironment(WithFilesFrom(kFolderAtLoad, &ProcessEnvironment));
  if (!parsed.Ok()) {
    for (const std::string& error : parsed.errors) {
      std::fprintf(stderr, "klxr-virtual-meter: configuration error: %s\n", error.c_str());
    }
    std::fputs("klxr-virtual-meter: no devices are attached until the configuration is mended\n",
               stderr);
    parsed.config.adapters.clear();
  }
  // Nobody reads the logs in memory here: the transcript goes to its file, when one is named.
  parsed.config.keepLogs = false;
  return std::move(parsed.config);
}

}  // namespace

VirtualBus& LoadableBus() {
  static VirtualBus bus(ConfigOrNoDevices());
  return bus;
}

}  // namespace klxr::vm
