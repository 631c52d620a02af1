#include "tests/open-driver/emulated_usb_bus.h"

// clang-format off: the ioctl headers need their types first.
#include <linux/capability.h>
#include <linux/ioctl.h>
#include <linux/types.h>
#include <linux/usbdevice_fs.h>
// clang-format on
#include <sys/stat.h>
#include <sys/syscall.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace klxr::emulation {
namespace {

// Device, configuration, interface and the two bulk endpoints (0x81 IN, 0x02 OUT, 64 bytes) of an
// FT232R; bcdDevice 0x0600 tells libftdi1 the chip type.
constexpr const char* kDescriptors =
    "12010002000000080304016000060102030109022000010100a02d0904000002ffffff02"
    "070581024000000705020240000000";

constexpr std::uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                        USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                        USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

using Device = EmulatedUsbBus::Device;

std::string Hex(unsigned long value) {
  char text[24];
  std::snprintf(text, sizeof text, "%lX", value);
  return text;
}

UMockdevIoctlData* Resolve(UMockdevIoctlData* data, std::size_t offset, std::size_t length) {
  return umockdev_ioctl_data_resolve(data, offset, length, nullptr);
}

// Runs one URB to completion on the chip: fills its buffer and lengths. Returns the URB status.
int RunUrb(EmulatedFt232r& chip, usbdevfs_urb& urb, std::uint8_t* buffer) {
  const auto length = static_cast<std::size_t>(urb.buffer_length);
  if (urb.type == USBDEVFS_URB_TYPE_CONTROL) {
    if (length < 8) {
      return -EINVAL;
    }
    const ControlSetup setup = ParseSetup({buffer, 8});
    const std::optional<Bytes> answer = chip.Control(setup, {buffer + 8, length - 8});
    if (!answer) {
      return -EPIPE;
    }
    const std::size_t copied = std::min(answer->size(), length - 8);
    std::copy_n(answer->begin(), copied, buffer + 8);
    urb.actual_length = static_cast<int>((setup.requestType & 0x80) ? copied : setup.length);
    return 0;
  }
  if (urb.type != USBDEVFS_URB_TYPE_BULK) {
    return -EINVAL;
  }
  if (urb.endpoint == 0x02) {
    chip.BulkOut({buffer, length});
    urb.actual_length = urb.buffer_length;
    return 0;
  }
  if (urb.endpoint == 0x81) {
    const Bytes transfer = chip.BulkIn(length);
    std::copy(transfer.begin(), transfer.end(), buffer);
    urb.actual_length = static_cast<int>(transfer.size());
    return 0;
  }
  return -EINVAL;
}

void Complete(UMockdevIoctlClient* client, long result, int error) {
  umockdev_ioctl_client_complete(client, result, error);
}

}  // namespace

struct EmulatedUsbBus::Testbed {
  UMockdevTestbed* bed = nullptr;
};

namespace {

bool HandleUrbIoctl(Device& device, UMockdevIoctlClient* client, unsigned long request,
                    UMockdevIoctlData* arg) {
  EmulatedFt232r& chip = *device.chip;
  switch (request) {
    case USBDEVFS_SUBMITURB: {
      UMockdevIoctlData* urbData = Resolve(arg, 0, sizeof(usbdevfs_urb));
      if (urbData == nullptr) {
        Complete(client, -1, EFAULT);
        return true;
      }
      auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
      UMockdevIoctlData* buffer = Resolve(urbData, offsetof(usbdevfs_urb, buffer),
                                          static_cast<std::size_t>(urb->buffer_length));
      if (buffer == nullptr) {
        Complete(client, -1, EFAULT);
        return true;
      }
      urb->status = RunUrb(chip, *urb, buffer->data);
      device.completed.push_back(g_object_ref(urbData));
      Complete(client, 0, 0);
      return true;
    }
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
      if (device.completed.empty()) {
        Complete(client, -1, EAGAIN);
        return true;
      }
      auto* urbData = static_cast<UMockdevIoctlData*>(device.completed.front());
      device.completed.erase(device.completed.begin());
      UMockdevIoctlData* target = Resolve(arg, 0, sizeof(void*));
      umockdev_ioctl_data_set_ptr(target, 0, urbData);
      g_object_unref(urbData);
      Complete(client, 0, 0);
      return true;
    }
    case USBDEVFS_DISCARDURB:
      Complete(client, -1, EINVAL);  // every URB has already completed
      return true;
    default:
      return false;
  }
}

bool HandleDeviceIoctl(Device& device, UMockdevIoctlClient* client, unsigned long request,
                       UMockdevIoctlData* arg) {
  EmulatedFt232r& chip = *device.chip;
  switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
      UMockdevIoctlData* caps = Resolve(arg, 0, sizeof(std::uint32_t));
      std::memcpy(caps->data, &kCapabilities, sizeof kCapabilities);
      Complete(client, 0, 0);
      return true;
    }
    case USBDEVFS_CLAIMINTERFACE: {
      const bool claimed = chip.Claim();
      Complete(client, claimed ? 0 : -1, claimed ? 0 : EBUSY);
      return true;
    }
    case USBDEVFS_DISCONNECT_CLAIM: {
      const bool claimed = chip.Claim();
      if (claimed) {
        chip.SetKernelDriverBound(false);
      }
      Complete(client, claimed ? 0 : -1, claimed ? 0 : EBUSY);
      return true;
    }
    case USBDEVFS_RELEASEINTERFACE:
      chip.Release();
      Complete(client, 0, 0);
      return true;
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESETEP:
    case USBDEVFS_SETCONFIGURATION:
    case USBDEVFS_SETINTERFACE:
      Complete(client, 0, 0);
      return true;
    case USBDEVFS_RESET:
      chip.Reset();
      Complete(client, 0, 0);
      return true;
    case USBDEVFS_GETDRIVER: {
      UMockdevIoctlData* data = Resolve(arg, 0, sizeof(usbdevfs_getdriver));
      auto* getDriver = reinterpret_cast<usbdevfs_getdriver*>(data->data);
      if (!chip.KernelDriverBound()) {
        Complete(client, -1, ENODATA);
        return true;
      }
      std::snprintf(getDriver->driver, sizeof getDriver->driver, "ftdi_sio");
      Complete(client, 0, 0);
      return true;
    }
    case USBDEVFS_IOCTL: {
      UMockdevIoctlData* data = Resolve(arg, 0, sizeof(usbdevfs_ioctl));
      const auto* command = reinterpret_cast<const usbdevfs_ioctl*>(data->data);
      if (command->ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT)) {
        const bool wasBound = chip.KernelDriverBound();
        chip.SetKernelDriverBound(false);
        Complete(client, wasBound ? 0 : -1, wasBound ? 0 : ENODATA);
      } else if (command->ioctl_code == static_cast<int>(USBDEVFS_CONNECT)) {
        chip.SetKernelDriverBound(true);
        Complete(client, 0, 0);
      } else {
        Complete(client, -1, ENOTTY);
      }
      return true;
    }
    default:
      return HandleUrbIoctl(device, client, request, arg);
  }
}

gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer userData) {
  auto& device = *static_cast<Device*>(userData);
  const unsigned long request = umockdev_ioctl_client_get_request(client);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  std::lock_guard lock(*device.mutex);
  // An unplugged device still hands back the URBs that were in flight (as the kernel does after a
  // disconnect); everything else fails as for a device that is gone.
  const bool reap = request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY;
  if (device.chip->Vanished() && !(reap && !device.completed.empty())) {
    Complete(client, -1, ENODEV);
    return TRUE;
  }
  if (!HandleDeviceIoctl(device, client, request, arg)) {
    device.unhandled->insert(Hex(request));
    Complete(client, -1, ENOTTY);
  }
  return TRUE;
}

}  // namespace

bool EmulatedUsbBus::Available() {
  const char* preload = std::getenv("LD_PRELOAD");
  return preload != nullptr && std::strstr(preload, "umockdev-preload") != nullptr;
}

EmulatedUsbBus::EmulatedUsbBus(std::vector<EmulatedAdapterConfig> adapters)
    : testbed_(std::make_unique<Testbed>()) {
  testbed_->bed = umockdev_testbed_new();
  // libusb lists the devices it finds last first: the last adapter gets the first port, so that
  // the list comes out in the order of the configuration.
  int number = static_cast<int>(adapters.size()) + 1;
  for (EmulatedAdapterConfig& config : adapters) {
    auto device = std::make_unique<Device>();
    device->mutex = &mutex_;
    device->unhandled = &unhandled_;
    char devnode[64];
    std::snprintf(devnode, sizeof devnode, "/dev/bus/usb/001/%03d", number);
    device->devnode = devnode;
    device->chip = std::make_unique<EmulatedFt232r>(std::move(config));
    UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(OnIoctl), device.get());
    device->handler = handler;
    umockdev_testbed_attach_ioctl(testbed_->bed, devnode, handler, nullptr);
    char description[1024];
    std::snprintf(description, sizeof description,
                  "P: /devices/usb1/1-%d\nN: bus/usb/001/%03d\nE: SUBSYSTEM=usb\nE: DRIVER=usb\n"
                  "E: BUSNUM=001\nE: DEVNUM=%03d\nE: DEVNAME=%s\nE: DEVTYPE=usb_device\n"
                  "A: busnum=1\\n\nA: devnum=%d\\n\nA: bConfigurationValue=1\\n\nA: speed=12\\n\n"
                  "H: descriptors=%s\n",
                  number - 1, number, number, devnode, number, kDescriptors);
    umockdev_testbed_add_from_string(testbed_->bed, description, nullptr);
    device->sysfsPath = "/sys/devices/usb1/1-" + std::to_string(number - 1);
    devices_.push_back(std::move(device));
    --number;
  }
}

EmulatedUsbBus::~EmulatedUsbBus() {
  for (const auto& device : devices_) {
    umockdev_testbed_detach_ioctl(testbed_->bed, device->devnode.c_str(), nullptr);
    g_object_unref(device->handler);
    for (void* urb : device->completed) {
      g_object_unref(urb);
    }
  }
  g_object_unref(testbed_->bed);
}

std::vector<std::string> EmulatedUsbBus::WireLog(std::size_t adapter) {
  return WithAdapter(adapter, [](const EmulatedFt232r& chip) { return chip.WireLog(); });
}

EepromImage EmulatedUsbBus::Eeprom(std::size_t adapter) {
  return WithAdapter(adapter, [](const EmulatedFt232r& chip) { return chip.Eeprom(); });
}

void EmulatedUsbBus::Unplug(std::size_t adapter) {
  {
    std::lock_guard lock(mutex_);
    devices_.at(adapter)->chip->Vanish();
  }
  umockdev_testbed_uevent(testbed_->bed, devices_.at(adapter)->sysfsPath.c_str(), "remove");
  umockdev_testbed_remove_device(testbed_->bed, devices_.at(adapter)->sysfsPath.c_str());
}

void EmulatedUsbBus::ForbidAccess(std::size_t adapter) {
  const std::string node =
      std::string(umockdev_testbed_get_root_dir(testbed_->bed)) + devices_.at(adapter)->devnode;
  chmod(node.c_str(), 0444);
}

namespace {

// The capabilities that let root past file permissions.
constexpr std::uint32_t kAccessOverrides =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

bool SetEffectiveOverrides(bool on) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (syscall(SYS_capget, &header, data) != 0) {
    return false;
  }
  const bool held = (data[0].effective & kAccessOverrides) != 0;
  data[0].effective = on ? data[0].effective | (data[0].permitted & kAccessOverrides)
                         : data[0].effective & ~kAccessOverrides;
  return syscall(SYS_capset, &header, data) == 0 && (on || held);
}

}  // namespace

NoAccessOverride::NoAccessOverride() : dropped_(SetEffectiveOverrides(false)) {}

NoAccessOverride::~NoAccessOverride() {
  if (dropped_) {
    SetEffectiveOverrides(true);
  }
}

std::vector<std::string> EmulatedUsbBus::UnhandledRequests() {
  std::lock_guard lock(mutex_);
  return {unhandled_.begin(), unhandled_.end()};
}

}  // namespace klxr::emulation
