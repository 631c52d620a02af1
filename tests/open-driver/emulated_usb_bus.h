// Emulated FT232R adapters on the host's real USB stack: umockdev provides their sysfs entries and
// /dev/bus/usb nodes, and answers every usbdevfs ioctl that libusb makes on those nodes from the
// EmulatedFt232r models. The process must run under umockdev-wrapper; programs it starts inherit
// the emulation (their ioctls reach this process's handler through umockdev's socket).
#pragma once

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "tests/open-driver/emulated_ft232r.h"

namespace klxr::emulation {

class EmulatedUsbBus {
 public:
  // Adds the adapters in order, as devices 1-1, 1-2, ... on bus 1. libusb must not be initialised
  // before the bus exists: it enumerates the fake sysfs when it starts.
  explicit EmulatedUsbBus(std::vector<EmulatedAdapterConfig> adapters);
  ~EmulatedUsbBus();
  EmulatedUsbBus(const EmulatedUsbBus&) = delete;
  EmulatedUsbBus& operator=(const EmulatedUsbBus&) = delete;

  // False when the process does not run under umockdev-wrapper.
  static bool Available();

  // The adapter's state, read under the bus lock.
  template <typename Function>
  auto WithAdapter(std::size_t adapter, Function function);
  std::vector<std::string> WireLog(std::size_t adapter);
  EepromImage Eeprom(std::size_t adapter);
  // Unplugs the adapter: it leaves sysfs, and every ioctl on its node fails with ENODEV.
  void Unplug(std::size_t adapter);
  // Takes write permission on the adapter's device node away from everyone, as on a system
  // without the package's udev rule. Root overrides it unless a NoAccessOverride lives.
  void ForbidAccess(std::size_t adapter);
  // Every ioctl request the handler could not answer, as hexadecimal numbers (for diagnostics).
  std::vector<std::string> UnhandledRequests();

  struct Device;

 private:
  std::mutex mutex_;
  std::set<std::string> unhandled_;
  struct Testbed;
  std::unique_ptr<Testbed> testbed_;
  std::vector<std::unique_ptr<Device>> devices_;
};

// While it lives, the calling thread is held to file permissions like any user, root included:
// the capabilities that override them leave its effective set, and come back afterwards.
class NoAccessOverride {
 public:
  NoAccessOverride();
  ~NoAccessOverride();
  NoAccessOverride(const NoAccessOverride&) = delete;
  NoAccessOverride& operator=(const NoAccessOverride&) = delete;

 private:
  bool dropped_ = false;
};

struct EmulatedUsbBus::Device {
  std::mutex* mutex = nullptr;
  std::set<std::string>* unhandled = nullptr;
  std::string sysfsPath;
  std::string devnode;
  std::unique_ptr<EmulatedFt232r> chip;
  void* handler = nullptr;       // UMockdevIoctlBase*
  std::vector<void*> completed;  // UMockdevIoctlData* of URBs waiting to be reaped
};

template <typename Function>
auto EmulatedUsbBus::WithAdapter(std::size_t adapter, Function function) {
  std::lock_guard lock(mutex_);
  return function(*devices_.at(adapter)->chip);
}

}  // namespace klxr::emulation
