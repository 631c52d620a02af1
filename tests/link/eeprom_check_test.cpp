#include "link/eeprom_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "link/com_access.h"
#include "link/support/fake_d2xx.h"

namespace klxr {
namespace {

using d2xx::FT_PROGRAM_DATA;
using Calls = std::vector<std::string>;
using Description = std::array<char, d2xx::kDescriptionSize>;

// The block's bytes up to its last field (it has no padding inside), for whole-block comparison.
std::vector<std::uint8_t> BlockBytes(const FT_PROGRAM_DATA& block) {
  constexpr std::size_t extent =
      offsetof(FT_PROGRAM_DATA, LaterVersionFields) + sizeof block.LaterVersionFields;
  std::vector<std::uint8_t> bytes(extent);
  std::memcpy(bytes.data(), &block, extent);
  return bytes;
}

// An adapter block that has every required setting, with distinctive values elsewhere.
FT_PROGRAM_DATA GoodBlock() {
  FT_PROGRAM_DATA block{};
  block.VendorId = 0x0403;
  block.ProductId = 0x6015;
  block.MaxPower = 100;
  block.RemoteWakeup = 1;
  block.InvertDTR = 1;
  block.InvertRTS = 1;
  block.Cbus0 = d2xx::FT_232R_CBUS_TXLED;
  block.Cbus1 = d2xx::FT_232R_CBUS_RXLED;
  block.Cbus4 = d2xx::FT_232R_CBUS_SLEEP;
  block.RIsD2XX = 1;
  block.LaterVersionFields[71] = 0x5A;
  return block;
}

Description DescriptionOf(const std::string& text) {
  Description buffer{};
  std::fill(buffer.begin(), buffer.end(), '#');
  std::memcpy(buffer.data(), text.data(), std::min(text.size(), buffer.size()));
  if (text.size() < buffer.size()) {
    buffer[text.size()] = '\0';
  }
  return buffer;
}

std::string TextOf(const Description& buffer) {
  return std::string(buffer.data(), std::find(buffer.begin(), buffer.end(), '\0'));
}

struct SettingsCase {
  const char* name;
  std::function<void(FT_PROGRAM_DATA&)> adapter;  // how the adapter differs from a good one
  std::string description;                        // the adapter's description
  bool corrected;
  std::function<void(FT_PROGRAM_DATA&)> expected;  // how the result differs from a good block
};

TEST(EepromCheckTest, CorrectsExactlyTheRequiredSettings) {
  const auto none = [](FT_PROGRAM_DATA&) {};
  const std::string good(RequiredDescription);
  const std::vector<SettingsCase> cases{
      {"all good", none, good, false, none},
      {"PnP 1", [](auto& b) { b.PnP = 1; }, good, true, none},
      {"PnP 2", [](auto& b) { b.PnP = 2; }, good, false, [](auto& b) { b.PnP = 2; }},
      {"SelfPowered 1", [](auto& b) { b.SelfPowered = 1; }, good, true, none},
      {"SelfPowered 2", [](auto& b) { b.SelfPowered = 2; }, good, false,
       [](auto& b) { b.SelfPowered = 2; }},
      {"InvertDTR 0", [](auto& b) { b.InvertDTR = 0; }, good, true, none},
      {"InvertDTR 2", [](auto& b) { b.InvertDTR = 2; }, good, false,
       [](auto& b) { b.InvertDTR = 2; }},
      {"InvertRXD 1", [](auto& b) { b.InvertRXD = 1; }, good, true, none},
      {"InvertTXD 1", [](auto& b) { b.InvertTXD = 1; }, good, true, none},
      {"InvertTXD 2", [](auto& b) { b.InvertTXD = 2; }, good, false,
       [](auto& b) { b.InvertTXD = 2; }},
      {"Cbus4 0", [](auto& b) { b.Cbus4 = 0; }, good, true, none},
      {"Cbus4 4", [](auto& b) { b.Cbus4 = 4; }, good, true, none},
      {"Cbus4 6", [](auto& b) { b.Cbus4 = 6; }, good, true, none},
      {"Cbus4 0xFF", [](auto& b) { b.Cbus4 = 0xFF; }, good, true, none},
      {"maker's description", none, "USB <-> Serial", true, none},
      {"other letter case", none, "QUORVEL KLXR", true, none},
      {"trailing space", none, good + " ", true, none},
      {"prefix only", none, "Quorvel KLX", true, none},
      {"empty description", none, "", true, none},
      {"unterminated description", none, std::string(64, 'Q'), true, none},
      {"everything wrong",
       [](auto& b) {
         b.PnP = 1;
         b.SelfPowered = 1;
         b.InvertDTR = 0;
         b.InvertRXD = 1;
         b.InvertTXD = 1;
         b.Cbus4 = 0;
       },
       "FT232R USB UART", true, none},
  };
  for (const SettingsCase& test : cases) {
    SCOPED_TRACE(test.name);
    FT_PROGRAM_DATA block = GoodBlock();
    test.adapter(block);
    Description description = DescriptionOf(test.description);
    FT_PROGRAM_DATA expected = GoodBlock();
    test.expected(expected);

    EXPECT_EQ(CorrectAdapterSettings(block, description), test.corrected);
    EXPECT_EQ(BlockBytes(block), BlockBytes(expected));
    EXPECT_EQ(TextOf(description), RequiredDescription);
  }
}

// A port on device 0 of a fake adapter whose description is the maker's default.
struct CheckEepromTest : ::testing::Test {
  CheckEepromTest() {
    fake.eeprom = GoodBlock();
    fake.eeprom.VendorId = 0x0403;
    fake.eeprom.ProductId = 0x6015;
    fake.description = "FT232R USB UART";
  }
  void OpenPort() {
    port.Open(0);
    fake.calls.clear();
  }

  testing::FakeD2xx fake;
  ComAccess port{fake.Functions()};
};

TEST_F(CheckEepromTest, RequestBlock) {
  OpenPort();
  port.ProgramData.MaxPower = 500;
  port.ProgramData.VendorId = 0x1111;
  port.CheckEeprom(false);
  port.CheckEeprom(false);  // presets again, after a read replaced them

  const FT_PROGRAM_DATA& request = fake.readRequest;
  EXPECT_EQ(fake.readRequestAddress, &port.ProgramData);
  EXPECT_EQ(request.Signature1, 0x00000000u);
  EXPECT_EQ(request.Signature2, 0xFFFFFFFFu);
  EXPECT_EQ(request.Version, 2u);
  EXPECT_EQ(request.VendorId, 0x0403);
  EXPECT_EQ(request.ProductId, 0x6001);
  EXPECT_EQ(request.Manufacturer, port.ManufacturerBuf.data());
  EXPECT_EQ(request.ManufacturerId, port.ManufacturerIdBuf.data());
  EXPECT_EQ(request.Description, port.DescriptionBuf.data());
  EXPECT_EQ(request.SerialNumber, port.SerialNumberBuf.data());
  EXPECT_EQ(request.MaxPower, 90);
  EXPECT_EQ(request.PnP, 0);
  EXPECT_EQ(request.SelfPowered, 0);
  EXPECT_EQ(request.RemoteWakeup, 0);
}

TEST_F(CheckEepromTest, GoodAdapterIsLeftAloneWhateverProgramSays) {
  fake.description = std::string(RequiredDescription);
  OpenPort();
  for (bool program : {true, false}) {
    port.EepromChanged = 1;
    EXPECT_EQ(port.CheckEeprom(program), 0u);
    EXPECT_EQ(port.EepromChanged, 0);
  }
  EXPECT_EQ(fake.calls, (Calls{"FT_EE_Read #0", "FT_EE_Read #0"}));
}

TEST_F(CheckEepromTest, DescriptionOnlyDifferenceWritesBackTheWholeBlock) {
  fake.manufacturer = "Maker Ltd";
  fake.serialNumber = "AB12CD34";
  OpenPort();
  EXPECT_EQ(port.CheckEeprom(true), 0u);
  EXPECT_EQ(port.EepromChanged, 1);
  EXPECT_EQ(fake.calls, (Calls{"FT_EE_Read #0", "FT_EE_Program #0", "FT_CyclePort #0"}));
  EXPECT_EQ(fake.programmedAddress, &port.ProgramData);
  EXPECT_EQ(fake.programmedDescription, RequiredDescription);
  EXPECT_EQ(fake.programmedManufacturer, "Maker Ltd");
  EXPECT_EQ(fake.programmedManufacturerId, "MK");
  EXPECT_EQ(fake.programmedSerialNumber, "AB12CD34");
  // Everything but the string pointers is the adapter's own block, product id included.
  FT_PROGRAM_DATA expected = fake.eeprom;
  expected.Manufacturer = port.ManufacturerBuf.data();
  expected.ManufacturerId = port.ManufacturerIdBuf.data();
  expected.Description = port.DescriptionBuf.data();
  expected.SerialNumber = port.SerialNumberBuf.data();
  EXPECT_EQ(BlockBytes(fake.programmedBlock), BlockBytes(expected));
  EXPECT_TRUE(port.IsOpen());  // the caller opened it and closes it
}

TEST_F(CheckEepromTest, ProgramFalseOnlyFlags) {
  OpenPort();
  EXPECT_EQ(port.CheckEeprom(false), 0u);
  EXPECT_EQ(port.EepromChanged, 1);
  EXPECT_EQ(fake.calls, Calls{"FT_EE_Read #0"});
}

TEST_F(CheckEepromTest, FailingReadKeepsTheFlag) {
  OpenPort();
  port.CheckEeprom(false);
  ASSERT_EQ(port.EepromChanged, 1);
  fake.description = std::string(RequiredDescription);
  fake.ScriptStatus("FT_EE_Read", d2xx::FT_EEPROM_READ_FAILED);
  EXPECT_EQ(port.CheckEeprom(true), d2xx::FT_EEPROM_READ_FAILED);
  EXPECT_EQ(port.EepromChanged, 1);
  EXPECT_EQ(fake.calls, (Calls{"FT_EE_Read #0", "FT_EE_Read #0"}));
}

TEST_F(CheckEepromTest, FailingProgramStillCycles) {
  OpenPort();
  fake.ScriptStatus("FT_EE_Program", d2xx::FT_EEPROM_WRITE_FAILED);
  EXPECT_EQ(port.CheckEeprom(true), d2xx::FT_EEPROM_WRITE_FAILED);
  EXPECT_EQ(port.EepromChanged, 1);
  EXPECT_EQ(fake.calls, (Calls{"FT_EE_Read #0", "FT_EE_Program #0", "FT_CyclePort #0"}));
}

TEST_F(CheckEepromTest, CyclePortResultIsIgnored) {
  OpenPort();
  fake.ScriptStatus("FT_CyclePort", d2xx::FT_IO_ERROR);
  EXPECT_EQ(port.CheckEeprom(true), 0u);
  EXPECT_EQ(port.Status, 0u);
}

TEST_F(CheckEepromTest, UsesTheDeviceTheCallerOpened) {
  fake.deviceCount = 3;
  port.Open(2);
  fake.calls.clear();
  port.CheckEeprom(true);
  EXPECT_EQ(fake.calls, (Calls{"FT_EE_Read #2", "FT_EE_Program #2", "FT_CyclePort #2"}));
}

struct ClosedPortCase {
  const char* name;
  const char* failingFunction;  // null: every call succeeds
  d2xx::FT_STATUS failure;
  bool program;
  d2xx::FT_STATUS expectedResult;
  std::uint8_t expectedFlag;  // 7 (as preset) when no block was evaluated
  Calls expectedCalls;
};

TEST_F(CheckEepromTest, ClosedPortOpensExaminesAndClosesDeviceZero) {
  fake.deviceCount = 2;
  const std::vector<ClosedPortCase> cases{
      {"examine only", nullptr, 0, false, 0, 1, {"FT_Open 0", "FT_EE_Read #0", "FT_Close #0"}},
      {"correct",
       nullptr,
       0,
       true,
       0,
       1,
       {"FT_Open 0", "FT_EE_Read #0", "FT_EE_Program #0", "FT_CyclePort #0", "FT_Close #0"}},
      {"read fails: close's status",
       "FT_EE_Read",
       d2xx::FT_EEPROM_READ_FAILED,
       true,
       0,
       7,
       {"FT_Open 0", "FT_EE_Read #0", "FT_Close #0"}},
      {"program fails: close's status",
       "FT_EE_Program",
       d2xx::FT_EEPROM_WRITE_FAILED,
       true,
       0,
       1,
       {"FT_Open 0", "FT_EE_Read #0", "FT_EE_Program #0", "FT_CyclePort #0", "FT_Close #0"}},
      {"close fails",
       "FT_Close",
       d2xx::FT_IO_ERROR,
       false,
       d2xx::FT_IO_ERROR,
       1,
       {"FT_Open 0", "FT_EE_Read #0", "FT_Close #0"}},
      {"device 0 cannot be opened",
       "FT_Open",
       d2xx::FT_DEVICE_NOT_OPENED,
       true,
       d2xx::FT_DEVICE_NOT_OPENED,
       7,
       {"FT_Open 0"}},
  };
  for (const ClosedPortCase& test : cases) {
    SCOPED_TRACE(test.name);
    fake.calls.clear();
    if (test.failingFunction != nullptr) {
      fake.ScriptStatus(test.failingFunction, test.failure);
    }
    ComAccess closed(fake.Functions());
    closed.EepromChanged = 7;  // shows whether the check got as far as evaluating a block
    EXPECT_EQ(closed.CheckEeprom(test.program), test.expectedResult);
    EXPECT_EQ(fake.calls, test.expectedCalls);
    EXPECT_FALSE(closed.IsOpen());
    EXPECT_EQ(closed.OpenIndex, -1);
    EXPECT_EQ(closed.EepromChanged, test.expectedFlag);
  }
}

}  // namespace
}  // namespace klxr
