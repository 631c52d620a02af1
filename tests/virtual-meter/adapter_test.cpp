// The simulated adapters behind the driver functions: listing, opening, handles, adapters in use
// or unplugged, the EEPROM and re-enumeration, the transcript and the call log.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "meter_host.h"

namespace klxr::vm {
namespace {

using d2xx::FT_HANDLE;
using d2xx::FT_STATUS;
using testing::MeterHost;

AdapterConfig Lead(int serial = 0) {
  AdapterConfig adapter;
  adapter.eeprom = MeterLeadEeprom(serial);
  return adapter;
}

AdapterConfig Factory(int serial = 0) {
  AdapterConfig adapter;
  adapter.eeprom = FactoryDefaultEeprom(serial);
  return adapter;
}

BusConfig Adapters(std::vector<AdapterConfig> adapters) {
  BusConfig config;
  config.adapters = std::move(adapters);
  return config;
}

d2xx::DWORD Count(const d2xx::D2xxFunctions& driver) {
  d2xx::DWORD count = 99;
  EXPECT_EQ(driver.FT_ListDevices(&count, nullptr, d2xx::FT_LIST_NUMBER_ONLY), d2xx::FT_OK);
  return count;
}

TEST(Adapter, ListsAndOpensTheAttachedAdapters) {
  AdapterConfig busy = Lead(1);
  busy.inUseElsewhere = true;
  VirtualBus bus(Adapters({Lead(0), busy, Lead(2)}));
  const d2xx::D2xxFunctions driver = VirtualBus::Functions();
  EXPECT_EQ(Count(driver), 3u);
  d2xx::DWORD count = 0;
  EXPECT_EQ(driver.FT_ListDevices(&count, nullptr, 0x40000000), d2xx::FT_INVALID_PARAMETER);
  EXPECT_EQ(driver.FT_ListDevices(nullptr, nullptr, d2xx::FT_LIST_NUMBER_ONLY),
            d2xx::FT_INVALID_PARAMETER);

  struct Case {
    int index;
    FT_STATUS expected;
  };
  FT_HANDLE first = nullptr;
  EXPECT_EQ(driver.FT_Open(0, &first), d2xx::FT_OK);
  const Case cases[] = {
      {0, d2xx::FT_DEVICE_NOT_OPENED},  // already open through this driver
      {1, d2xx::FT_DEVICE_NOT_OPENED},  // in use by another program
      {2, d2xx::FT_OK},
      {3, d2xx::FT_DEVICE_NOT_FOUND},
      {-1, d2xx::FT_DEVICE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    FT_HANDLE handle = nullptr;
    EXPECT_EQ(driver.FT_Open(c.index, &handle), c.expected) << c.index;
    EXPECT_EQ(handle != nullptr, c.expected == d2xx::FT_OK) << c.index;
  }
  EXPECT_EQ(driver.FT_Close(first), d2xx::FT_OK);
  EXPECT_EQ(driver.FT_Open(0, &first), d2xx::FT_OK) << "closed adapters open again";
}

// Every driver call on a handle, with harmless arguments.
std::vector<std::pair<std::string, std::function<FT_STATUS(FT_HANDLE)>>> HandleCalls(
    const d2xx::D2xxFunctions& d) {
  static std::uint8_t buffer[8];
  static d2xx::DWORD count;
  static char strings[4][64];
  static d2xx::FT_PROGRAM_DATA block;
  block = {};
  block.Signature2 = 0xFFFFFFFF;
  block.Version = 2;
  block.Manufacturer = strings[0];
  block.ManufacturerId = strings[1];
  block.Description = strings[2];
  block.SerialNumber = strings[3];
  return {
      {"Read", [d](FT_HANDLE h) { return d.FT_Read(h, buffer, 1, &count); }},
      {"Write", [d](FT_HANDLE h) { return d.FT_Write(h, buffer, 1, &count); }},
      {"SetBaudRate", [d](FT_HANDLE h) { return d.FT_SetBaudRate(h, 115200); }},
      {"SetDataCharacteristics",
       [d](FT_HANDLE h) { return d.FT_SetDataCharacteristics(h, 8, 0, 0); }},
      {"SetFlowControl", [d](FT_HANDLE h) { return d.FT_SetFlowControl(h, 0, 0, 0); }},
      {"SetDtr", [d](FT_HANDLE h) { return d.FT_SetDtr(h); }},
      {"ClrDtr", [d](FT_HANDLE h) { return d.FT_ClrDtr(h); }},
      {"Purge", [d](FT_HANDLE h) { return d.FT_Purge(h, d2xx::FT_PURGE_RX); }},
      {"SetTimeouts", [d](FT_HANDLE h) { return d.FT_SetTimeouts(h, 200, 1000); }},
      {"EE_Read", [d](FT_HANDLE h) { return d.FT_EE_Read(h, &block); }},
      {"EE_Program", [d](FT_HANDLE h) { return d.FT_EE_Program(h, &block); }},
      {"CyclePort", [d](FT_HANDLE h) { return d.FT_CyclePort(h); }},
      {"Close", [d](FT_HANDLE h) { return d.FT_Close(h); }},
  };
}

TEST(Adapter, AStaleHandleFailsEveryCall) {
  VirtualBus bus(OneMeter({}));
  const d2xx::D2xxFunctions driver = VirtualBus::Functions();
  FT_HANDLE handle = nullptr;
  ASSERT_EQ(driver.FT_Open(0, &handle), d2xx::FT_OK);
  ASSERT_EQ(driver.FT_Close(handle), d2xx::FT_OK);
  FT_HANDLE reopened = nullptr;
  ASSERT_EQ(driver.FT_Open(0, &reopened), d2xx::FT_OK);
  EXPECT_NE(reopened, handle) << "handles are never given out twice";
  for (const auto& [name, call] : HandleCalls(driver)) {
    EXPECT_EQ(call(handle), d2xx::FT_INVALID_HANDLE) << name;
    EXPECT_EQ(call(nullptr), d2xx::FT_INVALID_HANDLE) << name;
  }
}

TEST(Adapter, AVanishedAdapterFailsEveryCallAndIsNoLongerListed) {
  struct Case {
    std::string name;
    VanishRule rule;
    std::function<void(VirtualBus&, MeterHost&)> conversation;
  };
  const auto askLog = [](VirtualBus&, MeterHost& host) { host.Ask("LOG", 1); };
  const Case cases[] = {
      {"unplugged", {}, [](VirtualBus& bus, MeterHost&) { bus.Unplug(0); }},
      {"after 5 calls (open and 3 set-up calls, then LOG)",
       {VanishTrigger::kAfterCalls, 5, 0},
       askLog},
      {"after 1 reply",
       {VanishTrigger::kAfterReplies, 1, 0},
       [](VirtualBus&, MeterHost& host) {
         EXPECT_EQ(host.Ask("LOG", 1), Bytes{kAck}) << "the last reply still reaches the host";
       }},
      {"at 100 ms",
       {VanishTrigger::kAtTime, 0, 100'000},
       [](VirtualBus& bus, MeterHost&) { bus.Sleep(100); }},
  };
  for (const Case& c : cases) {
    AdapterConfig adapter = Lead();
    adapter.vanish = c.rule;
    VirtualBus bus(Adapters({adapter, Lead(1)}));
    MeterHost host;
    c.conversation(bus, host);
    for (const auto& [name, call] : HandleCalls(host.Driver())) {
      EXPECT_EQ(call(host.handle), d2xx::FT_IO_ERROR) << c.name << ": " << name;
    }
    EXPECT_EQ(Count(host.Driver()), 1u) << c.name;
    MeterHost other;
    EXPECT_EQ(other.status, d2xx::FT_OK) << c.name << ": index 0 is now the other adapter";
    EXPECT_EQ(bus.Calls().back().adapter, 1) << c.name;
  }
}

TEST(Adapter, AReadEndsWithAnErrorWhenTheAdapterVanishesWhileItWaits) {
  AdapterConfig adapter = Lead();
  adapter.vanish = {VanishTrigger::kAtTime, 0, 50'000};
  VirtualBus bus(Adapters({adapter}));
  MeterHost host;
  EXPECT_EQ(host.Read(100), Bytes{});
  EXPECT_EQ(host.status, d2xx::FT_IO_ERROR);
  EXPECT_EQ(bus.Now(), 50'000);
  bus.Replug(0);
  MeterHost again;
  EXPECT_EQ(again.status, d2xx::FT_OK) << "plugged in again, it opens";
}

struct EepromBuffers {
  char manufacturer[d2xx::kManufacturerSize];
  char manufacturerId[d2xx::kManufacturerIdSize];
  char description[d2xx::kDescriptionSize];
  char serialNumber[d2xx::kSerialNumberSize];
  d2xx::FT_PROGRAM_DATA block;

  explicit EepromBuffers(d2xx::DWORD version = 2) {
    std::memset(this, 0xEE, sizeof *this);
    block.Signature1 = 0;
    block.Signature2 = 0xFFFFFFFF;
    block.Version = version;
    block.Manufacturer = manufacturer;
    block.ManufacturerId = manufacturerId;
    block.Description = description;
    block.SerialNumber = serialNumber;
  }
};

TEST(Adapter, EepromReadGivesThePresets) {
  VirtualBus bus(Adapters({Lead(), Factory(1)}));
  struct Case {
    int index;
    d2xx::WORD pnp;
    d2xx::UCHAR invertDtr;
    std::string description;
  };
  const Case cases[] = {{0, 0, 1, "Quorvel KLXR"}, {1, 1, 0, std::string(kFactoryDescription)}};
  for (const Case& c : cases) {
    MeterHost host(c.index);
    EepromBuffers eeprom;
    ASSERT_EQ(host.Driver().FT_EE_Read(host.handle, &eeprom.block), d2xx::FT_OK);
    EXPECT_EQ(eeprom.block.VendorId, 0x0403);
    EXPECT_EQ(eeprom.block.ProductId, 0x6001);
    EXPECT_EQ(eeprom.block.PnP, c.pnp);
    EXPECT_EQ(eeprom.block.SelfPowered, 0);
    EXPECT_EQ(eeprom.block.InvertDTR, c.invertDtr);
    EXPECT_EQ(eeprom.block.InvertRXD, 0);
    EXPECT_EQ(eeprom.block.InvertTXD, 0);
    EXPECT_EQ(eeprom.block.Cbus4, d2xx::FT_232R_CBUS_SLEEP);
    EXPECT_EQ(eeprom.description, c.description);
    EXPECT_STREQ(eeprom.manufacturer, "Quorvel");
    EXPECT_EQ(std::string(eeprom.serialNumber).size(), 8u);
  }
}

TEST(Adapter, EepromReadHonoursTheRequest) {
  VirtualBus bus(OneMeter({}));
  MeterHost host;
  EepromBuffers version0(0);
  ASSERT_EQ(host.Driver().FT_EE_Read(host.handle, &version0.block), d2xx::FT_OK);
  EXPECT_EQ(version0.block.PnP, 0) << "the common fields are filled";
  EXPECT_EQ(version0.block.InvertDTR, 0xEE) << "a version 0 block has no FT232R fields";

  struct Case {
    std::string name;
    std::function<void(d2xx::FT_PROGRAM_DATA&)> spoil;
  };
  const Case cases[] = {
      {"first signature", [](d2xx::FT_PROGRAM_DATA& b) { b.Signature1 = 1; }},
      {"second signature", [](d2xx::FT_PROGRAM_DATA& b) { b.Signature2 = 0; }},
      {"version", [](d2xx::FT_PROGRAM_DATA& b) { b.Version = 6; }},
      {"no description buffer", [](d2xx::FT_PROGRAM_DATA& b) { b.Description = nullptr; }},
  };
  for (const Case& c : cases) {
    EepromBuffers eeprom;
    c.spoil(eeprom.block);
    EXPECT_EQ(host.Driver().FT_EE_Read(host.handle, &eeprom.block), d2xx::FT_INVALID_PARAMETER)
        << c.name;
    EXPECT_EQ(eeprom.block.PnP, 0xEEEE) << c.name << ": the block is left alone";
    EXPECT_EQ(host.Driver().FT_EE_Program(host.handle, &eeprom.block), d2xx::FT_INVALID_PARAMETER)
        << c.name;
  }
  EXPECT_EQ(bus.Adapter(0).Eeprom().description, kMeterLeadDescription);
}

TEST(Adapter, ProgramAndCycleRoundTrip) {
  VirtualBus bus(Adapters({Factory()}));
  MeterHost host;
  EepromBuffers eeprom;
  ASSERT_EQ(host.Driver().FT_EE_Read(host.handle, &eeprom.block), d2xx::FT_OK);
  eeprom.block.PnP = 0;
  eeprom.block.InvertDTR = 1;
  std::strcpy(eeprom.description, "Quorvel KLXR");
  std::memset(eeprom.serialNumber, 'S', sizeof eeprom.serialNumber);  // no terminator
  ASSERT_EQ(host.Driver().FT_EE_Program(host.handle, &eeprom.block), d2xx::FT_OK);
  ASSERT_EQ(host.Driver().FT_CyclePort(host.handle), d2xx::FT_OK);
  EXPECT_EQ(host.Read(1), Bytes{});
  EXPECT_EQ(host.status, d2xx::FT_IO_ERROR) << "the handle is dead after re-enumeration";
  EXPECT_EQ(host.Close(), d2xx::FT_IO_ERROR);

  MeterHost again;
  ASSERT_EQ(again.status, d2xx::FT_OK) << "the adapter came back";
  EepromBuffers reread;
  ASSERT_EQ(again.Driver().FT_EE_Read(again.handle, &reread.block), d2xx::FT_OK);
  EXPECT_EQ(reread.block.PnP, 0);
  EXPECT_EQ(reread.block.InvertDTR, 1);
  EXPECT_EQ(reread.block.Cbus0, d2xx::FT_232R_CBUS_TXLED) << "untouched fields stay";
  EXPECT_STREQ(reread.description, "Quorvel KLXR");
  EXPECT_EQ(std::string(reread.serialNumber), std::string(15, 'S'))
      << "read no further than its buffer, given back terminated";
}

TEST(Adapter, AnAdapterProgrammedWithOtherIdsIsNotFoundAfterCycling) {
  VirtualBus bus(OneMeter({}));
  MeterHost host;
  EepromBuffers eeprom;
  host.Driver().FT_EE_Read(host.handle, &eeprom.block);
  eeprom.block.VendorId = 0;
  host.Driver().FT_EE_Program(host.handle, &eeprom.block);
  host.Driver().FT_CyclePort(host.handle);
  EXPECT_EQ(Count(host.Driver()), 0u);
}

TEST(Adapter, TheCallLogNamesEveryCallWithItsArgumentsAndOutcome) {
  VirtualBus bus(OneMeter({}));
  MeterHost host;
  host.Driver().FT_ClrDtr(host.handle);
  host.Ask("LOG", 100);
  host.Close();
  FT_HANDLE none = nullptr;
  host.Driver().FT_Open(4, &none);
  const std::vector<std::string> expected = {
      "FT_Open(0)",
      "FT_SetBaudRate(115200)",
      "FT_SetDataCharacteristics(8,0,0)",
      "FT_SetTimeouts(200,1000)",
      "FT_ClrDtr",
      "FT_Write(02 03 4C 4F 47 1A)",
      "FT_Read(100) -> 1",
      "FT_Close",
      "FT_Open(4) -> FT_DEVICE_NOT_FOUND",
  };
  EXPECT_EQ(bus.CallLog(), expected);
  EXPECT_EQ(bus.Calls()[6].timeUs, 0);
  EXPECT_EQ(bus.Calls()[7].timeUs, 200'000);
  EXPECT_FALSE(bus.Adapter(0).Dtr());
  EXPECT_EQ(bus.Adapter(0).ReadTimeoutMs(), 200u);
}

TEST(Adapter, TheTranscriptHasEveryWriteAndEveryReply) {
  VirtualBus bus(OneMeter({}));
  MeterHost host;
  host.Ask("LOG", 1);
  host.WriteBytes({kAck});
  host.Ask("VERSION", 100);
  const std::vector<std::string> expected = {
      "-> 02 03 4C 4F 47 1A",
      "<- 06",
      "-> 06",
      "-> 02 07 56 45 52 53 49 4F 4E D2",
      "<- " + HexBytes(testing::AckFrame(kDefaultVersionText)),
  };
  EXPECT_EQ(bus.WireLog(), expected);
  const TranscriptEntry& ack = bus.Transcript()[1];
  EXPECT_EQ(ack.direction, Direction::kFromMeter);
  EXPECT_EQ(ack.timeUs, 521 + 500);
  EXPECT_EQ(ack.arrivalUs, std::vector<Micros>{16'000});
  EXPECT_EQ(RenderTimedEntry(ack), "      1.021 ms  #0  <- 06");
  bus.ClearLogs();
  EXPECT_TRUE(bus.WireLog().empty());
  EXPECT_TRUE(bus.CallLog().empty());
}

TEST(Adapter, WithoutALiveBusTheTableFindsNoDevice) {
  ASSERT_EQ(VirtualBus::Active(), nullptr);
  const d2xx::D2xxFunctions driver = VirtualBus::Functions();
  FT_HANDLE handle = nullptr;
  EXPECT_EQ(driver.FT_Open(0, &handle), d2xx::FT_DEVICE_NOT_FOUND);
  EXPECT_EQ(driver.FT_Close(handle), d2xx::FT_INVALID_HANDLE);
  {
    VirtualBus bus(OneMeter({}));
    EXPECT_EQ(VirtualBus::Active(), &bus);
  }
  EXPECT_EQ(VirtualBus::Active(), nullptr);
}

TEST(AdapterDeathTest, ASecondLiveBusIsAProgrammingError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  VirtualBus bus(OneMeter({}));
  EXPECT_DEATH(VirtualBus second(OneMeter({})), "a second VirtualBus");
}

}  // namespace
}  // namespace klxr::vm
