// Which USB device a meter command works on: "--device N" names the driver's index, "--device
// SERIAL" the serial number in the adapter's EEPROM. Without the option the commands use the first
// device and make no call to find it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/d2xx_api.h"

namespace klxr::cli {

// What an adapter's EEPROM says about it.
struct AdapterIdentity {
  std::string serialNumber;
  std::string description;
};

// Opens the device at this index, reads its EEPROM and closes it again; nothing when it cannot be
// opened (in use, gone) or its EEPROM cannot be read.
std::optional<AdapterIdentity> ReadAdapterIdentity(const d2xx::D2xxFunctions& driver,
                                                   std::int32_t index);

struct DeviceChoice {
  std::int32_t index = 0;
  std::string error;  // empty when the device was found
};

// The device the value of "--device" names. A value of digits alone is an index when a device
// has that index; any other value (or digits that are no index) is looked up among the serial
// numbers of the devices that can be opened, in index order.
DeviceChoice ChooseDevice(const d2xx::D2xxFunctions& driver, std::string_view value);

// The device count the driver reports; 0 when it cannot say.
std::int32_t CountDevices(const d2xx::D2xxFunctions& driver);

}  // namespace klxr::cli
