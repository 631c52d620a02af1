// The open driver's functions called directly, through the real libftdi1 and libusb, against
// emulated FT232R adapters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/open-driver/emulated_usb_bus.h"
#include "tests/open-driver/open_driver_api.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/meter_wire.h"

namespace klxr::emulation {
namespace {

using namespace d2xx;

EmulatedAdapterConfig MeterLead(int records = 3) {
  EmulatedAdapterConfig config;
  config.meter->records = vm::GeneratedRecords(records);
  return config;
}

class OpenDriverLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!EmulatedUsbBus::Available()) {
      GTEST_SKIP() << "not running under umockdev-wrapper";
    }
  }
  // Opens adapter `index` and sets the meter's line up as the program does.
  FT_HANDLE OpenMeterLine(int index = 0) {
    FT_HANDLE handle = nullptr;
    EXPECT_EQ(api->FT_Open(index, &handle), FT_OK);
    EXPECT_EQ(api->FT_ClrDtr(handle), FT_OK);
    EXPECT_EQ(api->FT_SetBaudRate(handle, 115200), FT_OK);
    EXPECT_EQ(api->FT_SetDataCharacteristics(handle, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE),
              FT_OK);
    EXPECT_EQ(api->FT_SetFlowControl(handle, FT_FLOW_NONE, 0, 0), FT_OK);
    EXPECT_EQ(api->FT_SetTimeouts(handle, 200, 1000), FT_OK);
    return handle;
  }
  std::vector<std::uint8_t> Exchange(FT_HANDLE handle, std::string_view command,
                                     DWORD readCount = 100) {
    vm::Bytes frame = vm::MakeFrame(command);
    DWORD written = 0;
    EXPECT_EQ(api->FT_Write(handle, frame.data(), static_cast<DWORD>(frame.size()), &written),
              FT_OK);
    EXPECT_EQ(written, frame.size());
    std::vector<std::uint8_t> reply(readCount);
    DWORD got = 0;
    EXPECT_EQ(api->FT_Read(handle, reply.data(), readCount, &got), FT_OK);
    reply.resize(got);
    return reply;
  }

  OpenDriverApi api;
};

TEST_F(OpenDriverLibrary, CountsThePresentAdapters) {
  const struct {
    int adapters;
    int unplugged;  // -1: none
    DWORD expected;
  } cases[] = {{0, -1, 0}, {1, -1, 1}, {2, -1, 2}, {2, 0, 1}};
  for (const auto& c : cases) {
    EmulatedUsbBus bus(std::vector<EmulatedAdapterConfig>(static_cast<std::size_t>(c.adapters)));
    if (c.unplugged >= 0) {
      bus.Unplug(static_cast<std::size_t>(c.unplugged));
    }
    DWORD count = 99;
    EXPECT_EQ(api->FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, c.expected) << c.adapters << " adapters, unplugged " << c.unplugged;
  }
}

TEST_F(OpenDriverLibrary, ListingAsksOnlyForTheNumber) {
  EmulatedUsbBus bus({EmulatedAdapterConfig{}});
  DWORD count = 0;
  EXPECT_EQ(api->FT_ListDevices(nullptr, nullptr, FT_LIST_NUMBER_ONLY), FT_INVALID_PARAMETER);
  EXPECT_EQ(api->FT_ListDevices(&count, nullptr, 0x40000000u), FT_NOT_SUPPORTED);
}

TEST_F(OpenDriverLibrary, AnswersTheMeterThroughTheRealUsbStack) {
  EmulatedUsbBus bus({MeterLead()});
  FT_HANDLE handle = OpenMeterLine();
  const std::vector<std::uint8_t> reply = Exchange(handle, "VERSION");
  vm::Bytes expected{vm::kAck};
  const vm::Bytes frame = vm::MakeFrame(vm::kDefaultVersionText);
  expected.insert(expected.end(), frame.begin(), frame.end());
  EXPECT_EQ(reply, expected);
  EXPECT_EQ(api->FT_Close(handle), FT_OK);
  EXPECT_EQ(bus.UnhandledRequests(), std::vector<std::string>{});
}

}  // namespace
}  // namespace klxr::emulation
