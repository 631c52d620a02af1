// The open driver's functions called directly, through the real libftdi1 and libusb, against
// emulated FT232R adapters.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
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

TEST_F(OpenDriverLibrary, OpensInListOrderAndRefusesWhatItCannotOpen) {
  EmulatedAdapterConfig inUse = MeterLead();
  inUse.inUseElsewhere = true;
  EmulatedAdapterConfig second = MeterLead();
  second.meter->versionText = "KLXR V2.40 S/N 200001";
  EmulatedUsbBus bus({MeterLead(), second, inUse});

  FT_HANDLE handle = OpenMeterLine(1);
  const std::vector<std::uint8_t> reply = Exchange(handle, "VERSION");
  EXPECT_NE(std::string(reply.begin(), reply.end()).find("V2.40"), std::string::npos);

  const struct {
    int index;
    FT_STATUS expected;
  } refusals[] = {
      {1, FT_DEVICE_NOT_OPENED},  // already open through this driver
      {2, FT_DEVICE_NOT_OPENED},  // held by another program
      {3, FT_DEVICE_NOT_FOUND},
      {-1, FT_DEVICE_NOT_FOUND},
  };
  for (const auto& refusal : refusals) {
    FT_HANDLE other = nullptr;
    EXPECT_EQ(api->FT_Open(refusal.index, &other), refusal.expected) << refusal.index;
    EXPECT_EQ(other, nullptr);
  }
  EXPECT_EQ(api->FT_Open(0, nullptr), FT_INVALID_PARAMETER);
  EXPECT_EQ(api->FT_Close(handle), FT_OK);
}

// A lead whose device node the user may not write is refused with its own status, not taken for
// one in use or for none; the other leads still open, and the count includes it.
TEST_F(OpenDriverLibrary, TellsALeadTheUserMayNotOpenFromOneInUse) {
  EmulatedAdapterConfig inUse = MeterLead();
  inUse.inUseElsewhere = true;
  EmulatedUsbBus bus({MeterLead(), inUse, MeterLead(), MeterLead()});
  bus.ForbidAccess(2);
  const NoAccessOverride asAUser;
  DWORD count = 0;
  EXPECT_EQ(api->FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
  EXPECT_EQ(count, 4u);
  const struct {
    int index;
    FT_STATUS expected;
  } cases[] = {
      {0, FT_OK},
      {1, FT_DEVICE_NOT_OPENED},
      {2, FT_DEVICE_NOT_OPENED_FOR_WRITE},
      {3, FT_OK},  // one the user may not open hides none after it
      {4, FT_DEVICE_NOT_FOUND},
  };
  for (const auto& c : cases) {
    FT_HANDLE handle = nullptr;
    EXPECT_EQ(api->FT_Open(c.index, &handle), c.expected) << c.index;
    EXPECT_EQ(handle != nullptr, c.expected == FT_OK) << c.index;
    if (handle != nullptr) {
      EXPECT_EQ(api->FT_Close(handle), FT_OK);
    }
  }
}

TEST_F(OpenDriverLibrary, KernelDriverLetsGoWhileOpenAndGetsTheAdapterBack) {
  EmulatedUsbBus bus({MeterLead()});
  const auto bound = [&] {
    return bus.WithAdapter(0, [](const EmulatedFt232r& chip) { return chip.KernelDriverBound(); });
  };
  EXPECT_TRUE(bound());
  FT_HANDLE handle = nullptr;
  ASSERT_EQ(api->FT_Open(0, &handle), FT_OK);
  EXPECT_FALSE(bound());
  EXPECT_EQ(api->FT_Close(handle), FT_OK);
  EXPECT_TRUE(bound());
}

TEST_F(OpenDriverLibrary, LineSettingsReachTheChip) {
  EmulatedUsbBus bus({MeterLead()});
  FT_HANDLE handle = nullptr;
  ASSERT_EQ(api->FT_Open(0, &handle), FT_OK);
  const auto lastRequest = [&] {
    return bus.WithAdapter(0, [](const EmulatedFt232r& chip) { return chip.ControlLog().back(); });
  };
  const struct {
    const char* name;
    std::function<FT_STATUS()> call;
    FT_STATUS status;
    const char* request;  // the chip's last vendor request afterwards (index 1: the interface)
  } cases[] = {
      {"DTR low", [&] { return api->FT_ClrDtr(handle); }, FT_OK, "40 01 0100 0001"},
      {"DTR high", [&] { return api->FT_SetDtr(handle); }, FT_OK, "40 01 0101 0001"},
      {"115200 baud", [&] { return api->FT_SetBaudRate(handle, 115200); }, FT_OK,
       "40 03 001A 0000"},
      {"8N1", [&] { return api->FT_SetDataCharacteristics(handle, 8, 0, 0); }, FT_OK,
       "40 04 0008 0001"},
      {"7E2", [&] { return api->FT_SetDataCharacteristics(handle, 7, 2, 2); }, FT_OK,
       "40 04 1207 0001"},
      {"no flow control", [&] { return api->FT_SetFlowControl(handle, FT_FLOW_NONE, 0, 0); }, FT_OK,
       "40 02 0000 0001"},
      {"RTS/CTS", [&] { return api->FT_SetFlowControl(handle, FT_FLOW_RTS_CTS, 0, 0); }, FT_OK,
       "40 02 0000 0101"},
      {"purge receive", [&] { return api->FT_Purge(handle, FT_PURGE_RX); }, FT_OK,
       "40 00 0002 0001"},
      {"purge transmit", [&] { return api->FT_Purge(handle, FT_PURGE_TX); }, FT_OK,
       "40 00 0001 0001"},
      {"latency 2 ms", [&] { return api.FT_SetLatencyTimer(handle, 2); }, FT_OK, "40 09 0002 0001"},
      // Refused before the chip hears of them: the last request stays the same.
      {"baud rate too low", [&] { return api->FT_SetBaudRate(handle, 100); }, FT_INVALID_BAUD_RATE,
       "40 09 0002 0001"},
      {"9 data bits", [&] { return api->FT_SetDataCharacteristics(handle, 9, 0, 0); },
       FT_INVALID_PARAMETER, "40 09 0002 0001"},
      {"parity 5", [&] { return api->FT_SetDataCharacteristics(handle, 8, 0, 5); },
       FT_INVALID_PARAMETER, "40 09 0002 0001"},
      {"1.5 stop bits", [&] { return api->FT_SetDataCharacteristics(handle, 8, 1, 0); },
       FT_INVALID_PARAMETER, "40 09 0002 0001"},
      {"unknown flow control", [&] { return api->FT_SetFlowControl(handle, 0x0800, 0, 0); },
       FT_INVALID_PARAMETER, "40 09 0002 0001"},
      {"latency 1 ms", [&] { return api.FT_SetLatencyTimer(handle, 1); }, FT_INVALID_PARAMETER,
       "40 09 0002 0001"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.call(), c.status) << c.name;
    EXPECT_EQ(lastRequest(), c.request) << c.name;
  }
  UCHAR latency = 0;
  EXPECT_EQ(api.FT_GetLatencyTimer(handle, &latency), FT_OK);
  EXPECT_EQ(latency, 2);
  EXPECT_EQ(api->FT_Close(handle), FT_OK);
}

TEST_F(OpenDriverLibrary, ReadReturnsWhatCameWhenTheTimeOutRunsOut) {
  EmulatedUsbBus bus({MeterLead()});
  FT_HANDLE handle = OpenMeterLine();
  const std::size_t replySize = 1 + vm::MakeFrame(vm::kDefaultVersionText).size();
  const struct {
    DWORD asked;
    std::size_t expected;
  } reads[] = {{100, replySize}, {static_cast<DWORD>(replySize), replySize}, {5, 5}};
  for (const auto& read : reads) {
    EXPECT_EQ(Exchange(handle, "VERSION", read.asked).size(), read.expected) << read.asked;
    ASSERT_EQ(api->FT_Purge(handle, FT_PURGE_RX), FT_OK);
  }
  std::uint8_t buffer[16];
  DWORD got = 99;
  EXPECT_EQ(api->FT_Read(handle, buffer, sizeof buffer, &got), FT_OK);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(api->FT_Close(handle), FT_OK);
}

TEST_F(OpenDriverLibrary, QueueStatusCountsWhatWaitsUntilItIsReadOrPurged) {
  EmulatedUsbBus bus({MeterLead()});
  FT_HANDLE handle = OpenMeterLine();
  const vm::Bytes frame = vm::MakeFrame("VERSION");
  const DWORD replySize = static_cast<DWORD>(1 + vm::MakeFrame(vm::kDefaultVersionText).size());
  DWORD written = 0;
  DWORD waiting = 99;
  EXPECT_EQ(api.FT_GetQueueStatus(handle, &waiting), FT_OK);
  EXPECT_EQ(waiting, 0u);
  ASSERT_EQ(api->FT_Write(handle, const_cast<std::uint8_t*>(frame.data()),
                          static_cast<DWORD>(frame.size()), &written),
            FT_OK);
  EXPECT_EQ(api.FT_GetQueueStatus(handle, &waiting), FT_OK);
  EXPECT_EQ(waiting, replySize);
  std::uint8_t first[3];
  DWORD got = 0;
  EXPECT_EQ(api->FT_Read(handle, first, sizeof first, &got), FT_OK);
  EXPECT_EQ(first[0], vm::kAck);
  EXPECT_EQ(api.FT_GetQueueStatus(handle, &waiting), FT_OK);
  EXPECT_EQ(waiting, replySize - 3);
  EXPECT_EQ(api->FT_Purge(handle, FT_PURGE_RX), FT_OK);
  EXPECT_EQ(api.FT_GetQueueStatus(handle, &waiting), FT_OK);
  EXPECT_EQ(waiting, 0u);
  EXPECT_EQ(api.FT_GetQueueStatus(handle, nullptr), FT_INVALID_PARAMETER);
  EXPECT_EQ(api->FT_Close(handle), FT_OK);
}

TEST_F(OpenDriverLibrary, HandlesNotOpenAreRefusedByEveryFunction) {
  EmulatedUsbBus bus({MeterLead()});
  FT_HANDLE closed = nullptr;
  ASSERT_EQ(api->FT_Open(0, &closed), FT_OK);
  ASSERT_EQ(api->FT_Close(closed), FT_OK);
  int local = 0;
  for (FT_HANDLE handle : {FT_HANDLE{nullptr}, closed, FT_HANDLE{&local}}) {
    std::uint8_t buffer[4] = {};
    DWORD count = 0;
    UCHAR latency = 0;
    FT_PROGRAM_DATA block{};
    const FT_STATUS statuses[] = {
        api->FT_Close(handle),
        api->FT_Read(handle, buffer, 4, &count),
        api->FT_Write(handle, buffer, 4, &count),
        api->FT_SetBaudRate(handle, 115200),
        api->FT_SetDataCharacteristics(handle, 8, 0, 0),
        api->FT_SetFlowControl(handle, 0, 0, 0),
        api->FT_SetDtr(handle),
        api->FT_ClrDtr(handle),
        api->FT_Purge(handle, 3),
        api->FT_SetTimeouts(handle, 200, 1000),
        api->FT_EE_Read(handle, &block),
        api->FT_EE_Program(handle, &block),
        api->FT_CyclePort(handle),
        api.FT_GetQueueStatus(handle, &count),
        api.FT_SetLatencyTimer(handle, 16),
        api.FT_GetLatencyTimer(handle, &latency),
    };
    for (std::size_t i = 0; i < std::size(statuses); ++i) {
      EXPECT_EQ(statuses[i], FT_INVALID_HANDLE) << "function " << i;
    }
  }
}

// A version 2 block with the caller's string buffers, guarded by canaries on both sides.
struct GuardedBlock {
  static constexpr char kCanary = '\x5A';
  char manufacturer[32 + 2];
  char manufacturerId[16 + 2];
  char description[64 + 2];
  char serialNumber[16 + 2];
  FT_PROGRAM_DATA block{};

  GuardedBlock() {
    for (char* buffer : {manufacturer, manufacturerId, description, serialNumber}) {
      std::memset(buffer, kCanary, 2);
    }
    std::memset(manufacturer + 33, kCanary, 1);
    std::memset(manufacturerId + 17, kCanary, 1);
    std::memset(description + 65, kCanary, 1);
    std::memset(serialNumber + 17, kCanary, 1);
    block.Signature1 = 0;
    block.Signature2 = 0xFFFFFFFFu;
    block.Version = 2;
    block.Manufacturer = manufacturer + 1;
    block.ManufacturerId = manufacturerId + 1;
    block.Description = description + 1;
    block.SerialNumber = serialNumber + 1;
  }
  bool CanariesIntact() const {
    return manufacturer[0] == kCanary && manufacturer[33] == kCanary &&
           manufacturerId[0] == kCanary && manufacturerId[17] == kCanary &&
           description[0] == kCanary && description[65] == kCanary && serialNumber[0] == kCanary &&
           serialNumber[17] == kCanary;
  }
};

TEST_F(OpenDriverLibrary, EepromReadGivesTheFieldsTheAdapterCheckTests) {
  const struct {
    const char* name;
    vm::EepromContents contents;
  } presets[] = {{"meter lead", vm::MeterLeadEeprom()},
                 {"factory default", vm::FactoryDefaultEeprom(1)}};
  for (const auto& preset : presets) {
    SCOPED_TRACE(preset.name);
    EmulatedAdapterConfig config = MeterLead();
    config.eeprom = BuildEepromImage(preset.contents);
    EmulatedUsbBus bus({config});
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(api->FT_Open(0, &handle), FT_OK);
    GuardedBlock guarded;
    ASSERT_EQ(api->FT_EE_Read(handle, &guarded.block), FT_OK);
    const FT_PROGRAM_DATA& got = guarded.block;
    const FT_PROGRAM_DATA& want = preset.contents.fields;
    EXPECT_EQ(got.VendorId, want.VendorId);
    EXPECT_EQ(got.ProductId, want.ProductId);
    EXPECT_EQ(got.MaxPower, want.MaxPower);
    EXPECT_EQ(got.PnP, want.PnP);
    EXPECT_EQ(got.SelfPowered, want.SelfPowered);
    EXPECT_EQ(got.RemoteWakeup, want.RemoteWakeup);
    EXPECT_EQ(got.InvertTXD, want.InvertTXD);
    EXPECT_EQ(got.InvertRXD, want.InvertRXD);
    EXPECT_EQ(got.InvertDTR, want.InvertDTR);
    EXPECT_EQ(std::vector<int>({got.Cbus0, got.Cbus1, got.Cbus2, got.Cbus3, got.Cbus4}),
              std::vector<int>({want.Cbus0, want.Cbus1, want.Cbus2, want.Cbus3, want.Cbus4}));
    EXPECT_EQ(std::string(got.Description), preset.contents.description);
    EXPECT_EQ(std::string(got.Manufacturer), preset.contents.manufacturer);
    EXPECT_EQ(std::string(got.ManufacturerId), preset.contents.manufacturerId);
    EXPECT_EQ(std::string(got.SerialNumber), preset.contents.serialNumber);
    EXPECT_TRUE(guarded.CanariesIntact());
    EXPECT_EQ(api->FT_Close(handle), FT_OK);
  }
}

TEST_F(OpenDriverLibrary, EepromCallsRefuseABadBlockAndWriteNothing) {
  EmulatedUsbBus bus({MeterLead()});
  const EepromImage before = bus.Eeprom(0);
  FT_HANDLE handle = nullptr;
  ASSERT_EQ(api->FT_Open(0, &handle), FT_OK);
  const struct {
    const char* name;
    std::function<void(FT_PROGRAM_DATA&)> spoil;
  } cases[] = {
      {"signature 1", [](FT_PROGRAM_DATA& b) { b.Signature1 = 1; }},
      {"signature 2", [](FT_PROGRAM_DATA& b) { b.Signature2 = 0; }},
      {"version 6", [](FT_PROGRAM_DATA& b) { b.Version = 6; }},
      {"no description buffer", [](FT_PROGRAM_DATA& b) { b.Description = nullptr; }},
  };
  for (const auto& c : cases) {
    GuardedBlock guarded;
    c.spoil(guarded.block);
    EXPECT_EQ(api->FT_EE_Read(handle, &guarded.block), FT_INVALID_PARAMETER) << c.name;
    EXPECT_EQ(api->FT_EE_Program(handle, &guarded.block), FT_INVALID_PARAMETER) << c.name;
    EXPECT_EQ(guarded.block.VendorId, 0) << c.name;
  }
  EXPECT_EQ(api->FT_EE_Read(handle, nullptr), FT_INVALID_PARAMETER);
  EXPECT_EQ(bus.Eeprom(0), before);
  EXPECT_EQ(api->FT_Close(handle), FT_OK);
}

TEST_F(OpenDriverLibrary, ProgrammedBlockReadsBackAndTooLongStringsAreCut) {
  EmulatedUsbBus bus({MeterLead()});
  FT_HANDLE handle = nullptr;
  ASSERT_EQ(api->FT_Open(0, &handle), FT_OK);
  GuardedBlock guarded;
  ASSERT_EQ(api->FT_EE_Read(handle, &guarded.block), FT_OK);
  guarded.block.MaxPower = 200;
  guarded.block.InvertRTS = 1;
  guarded.block.Cbus1 = FT_232R_CBUS_TXRXLED;
  std::strcpy(guarded.block.Description, "Meter lead 2");
  ASSERT_EQ(api->FT_EE_Program(handle, &guarded.block), FT_OK);
  const EepromImage image = bus.Eeprom(0);
  EXPECT_EQ(image[126] | (image[127] << 8), EepromChecksum(image));

  GuardedBlock again;
  ASSERT_EQ(api->FT_EE_Read(handle, &again.block), FT_OK);
  EXPECT_EQ(again.block.MaxPower, 200);
  EXPECT_EQ(again.block.InvertRTS, 1);
  EXPECT_EQ(again.block.Cbus1, FT_232R_CBUS_TXRXLED);
  EXPECT_EQ(std::string(again.block.Description), "Meter lead 2");
  EXPECT_EQ(std::string(again.block.SerialNumber), std::string(guarded.block.SerialNumber));
  EXPECT_TRUE(again.CanariesIntact());
  EXPECT_EQ(api->FT_Close(handle), FT_OK);
}

TEST_F(OpenDriverLibrary, CycledOrUnpluggedAdapterFailsItsHandleUntilClosed) {
  for (const bool unplug : {false, true}) {
    SCOPED_TRACE(unplug ? "unplugged" : "cycled");
    EmulatedUsbBus bus({MeterLead()});
    FT_HANDLE handle = OpenMeterLine();
    if (unplug) {
      bus.Unplug(0);
    } else {
      EXPECT_EQ(api->FT_CyclePort(handle), FT_OK);
      EXPECT_EQ(bus.WithAdapter(0, [](const EmulatedFt232r& chip) { return chip.Resets(); }), 1);
    }
    std::uint8_t buffer[8] = {};
    DWORD count = 0;
    EXPECT_EQ(api->FT_Write(handle, buffer, sizeof buffer, &count), FT_IO_ERROR);
    EXPECT_EQ(api->FT_Read(handle, buffer, sizeof buffer, &count), FT_IO_ERROR);
    EXPECT_EQ(api->FT_SetBaudRate(handle, 115200), FT_IO_ERROR);
    EXPECT_EQ(api->FT_Close(handle), FT_OK);
    FT_HANDLE reopened = nullptr;
    EXPECT_EQ(api->FT_Open(0, &reopened), unplug ? FT_DEVICE_NOT_FOUND : FT_OK);
    if (reopened != nullptr) {
      EXPECT_EQ(api->FT_Close(reopened), FT_OK);
    }
  }
}

}  // namespace
}  // namespace klxr::emulation
