// Meter discovery: asks every device the adapter driver reports for its version with "VERSION" and
// lists the version text of each meter that answers. Each device gets a temporary port of its own;
// the shared port is never touched, so a meter it holds open (during a download) is not listed.
// Nothing is shown to the user: a device that cannot be opened, whose adapter differs from the
// settings the meter link needs (it is neither queried nor re-programmed), that stays silent or
// answers anything but ACK and a good frame is skipped. A device that this user may not open is
// not a meter either, but the list hears of it, so that it can say why the lead is missing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/meter_link.h"

namespace klxr {

// Where discovery puts the version texts: the device list's list box (which sorts), or a plain
// collection. The list is never cleared here.
class MeterList {
 public:
  virtual ~MeterList() = default;
  // One meter's version text (8-bit characters) and the driver's index of its device, in device
  // order.
  virtual void Add(std::string_view versionText, int deviceIndex) = 0;
  // A device that is attached but that this user may not open, in device order.
  virtual void AddNotPermitted(int /*deviceIndex*/) {}
};

// A MeterList that keeps the texts in device order with their devices, and the devices the user
// may not open.
class CollectedMeters : public MeterList {
 public:
  void Add(std::string_view versionText, int deviceIndex) override {
    texts.emplace_back(versionText);
    deviceIndexes.push_back(deviceIndex);
  }
  void AddNotPermitted(int deviceIndex) override { notPermitted.push_back(deviceIndex); }
  std::vector<std::string> texts;
  std::vector<int> deviceIndexes;  // the device of each text
  std::vector<int> notPermitted;
};

// A meter as the device list shows it: a line of its list is the version text; the line keeps the
// driver's index of the device, which the listing does not show (devices that are no meters are
// skipped, so a line's position says nothing about its device).
struct ListedMeter {
  int deviceIndex = 0;
  std::string versionText;
  bool operator==(const ListedMeter&) const = default;
};

// What discovery made of one device.
enum class DeviceAnswer {
  kMeter,           // a meter answered with its version text
  kCannotOpen,      // the device could not be opened: in use by another program, or gone
  kNotPermitted,    // the device is attached but this user may not open it
  kAdapterDiffers,  // its adapter differs from the settings the meter link needs: no meter lead
  kSilent,          // nothing, or not ACK and a good frame, came back
};

// Tries the device at this index exactly as DiscoverMeters does; on kMeter versionText holds the
// meter's version text. Without a driver library no device can be opened.
DeviceAnswer AskDeviceForVersion(const MeterLink& link, int index, std::string& versionText);

// Walks devices 0 to count - 1 in order and returns the number of meters that answered, adding
// each one's version text to the list (null: only count). Returns 0 without a driver library, and
// also when the driver cannot say how many devices there are (FT_ListDevices fails). A device for
// which no temporary port can be made is skipped like one that cannot be opened.
int DiscoverMeters(const MeterLink& link, MeterList* list);

}  // namespace klxr
