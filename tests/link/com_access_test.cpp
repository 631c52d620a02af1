#include "link/com_access.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "link/support/fake_d2xx.h"

namespace klxr {
namespace {

using d2xx::FT_STATUS;
using Calls = std::vector<std::string>;

struct PortOperation {
  const char* name;
  const char* driverFunction;  // the function the operation calls when the port is open
  const char* expectedCall;    // how the fake logs that call on device 0
  std::function<FT_STATUS(ComAccess&)> run;
};

const std::array<std::uint8_t, 3> kSomeBytes{0x02, 0x00, 0xFF};

std::vector<PortOperation> Operations() {
  return {
      {"Close", "FT_Close", "FT_Close #0", [](ComAccess& port) { return port.Close(); }},
      {"Write", "FT_Write", "FT_Write #0 02 00 FF",
       [](ComAccess& port) { return port.Write(kSomeBytes.data(), 3); }},
      {"Read", "FT_Read", "FT_Read #0 100",
       [](ComAccess& port) {
         std::array<std::uint8_t, 100> buffer{};
         return port.Read(buffer.data(), 100);
       }},
      {"Purge", "FT_Purge", "FT_Purge #0 3", [](ComAccess& port) { return port.Purge(3); }},
      {"PurgeRx", "FT_Purge", "FT_Purge #0 1", [](ComAccess& port) { return port.PurgeRx(); }},
      {"PurgeTx", "FT_Purge", "FT_Purge #0 2", [](ComAccess& port) { return port.PurgeTx(); }},
      {"SetBaudRate", "FT_SetBaudRate", "FT_SetBaudRate #0 115200",
       [](ComAccess& port) { return port.SetBaudRate(115200); }},
      {"SetDataCharacteristics", "FT_SetDataCharacteristics", "FT_SetDataCharacteristics #0 8 0 0",
       [](ComAccess& port) { return port.SetDataCharacteristics(8, 0, 0); }},
      {"SetTimeouts", "FT_SetTimeouts", "FT_SetTimeouts #0 200 1000",
       [](ComAccess& port) { return port.SetTimeouts(200, 1000); }},
      {"SetDtrState on", "FT_SetDtr", "FT_SetDtr #0",
       [](ComAccess& port) { return port.SetDtrState(true); }},
      {"SetDtrState off", "FT_ClrDtr", "FT_ClrDtr #0",
       [](ComAccess& port) { return port.SetDtrState(false); }},
      {"SetFlowControl", "FT_SetFlowControl", "FT_SetFlowControl #0 256 17 19",
       [](ComAccess& port) { return port.SetFlowControl(0x0100, 0x11, 0x13); }},
  };
}

// Everything an operation may record, to see that a closed port records nothing.
struct Recorded {
  std::int32_t openIndex;
  FT_STATUS status;
  std::uint32_t bytesWritten, bytesRead, baudRate, readTimeout, writeTimeout;
  std::uint8_t wordLength, stopBits, parity;
  bool operator==(const Recorded&) const = default;
};

Recorded RecordedOf(const ComAccess& port) {
  return {port.OpenIndex,   port.Status,       port.BytesWritten, port.BytesRead, port.BaudRate,
          port.ReadTimeout, port.WriteTimeout, port.WordLength,   port.StopBits,  port.Parity};
}

TEST(ComAccessTest, ClosedPortCallsNothingAndRecordsNothing) {
  for (const PortOperation& operation : Operations()) {
    SCOPED_TRACE(operation.name);
    testing::FakeD2xx fake;
    ComAccess fresh(fake.Functions());
    const Recorded freshBefore = RecordedOf(fresh);
    EXPECT_EQ(operation.run(fresh), 0u);
    EXPECT_EQ(RecordedOf(fresh), freshBefore);

    // After a failed open the port is closed with a failure status, which must survive.
    ComAccess failed(fake.Functions());
    fake.ScriptStatus("FT_Open", d2xx::FT_DEVICE_NOT_FOUND);
    failed.Open(0);
    failed.BytesRead = 7;
    failed.BytesWritten = 9;
    failed.BaudRate = 9600;
    fake.calls.clear();
    const Recorded failedBefore = RecordedOf(failed);
    EXPECT_EQ(operation.run(failed), 0u);
    EXPECT_EQ(RecordedOf(failed), failedBefore);
    EXPECT_EQ(failed.Status, d2xx::FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(fake.calls, Calls{});
  }
}

TEST(ComAccessTest, OpenPortForwardsEachOperationAndKeepsItsStatus) {
  for (const PortOperation& operation : Operations()) {
    for (FT_STATUS answer : {d2xx::FT_OK, d2xx::FT_IO_ERROR}) {
      SCOPED_TRACE(std::string(operation.name) + " answered " + std::to_string(answer));
      testing::FakeD2xx fake;
      ComAccess port(fake.Functions());
      ASSERT_EQ(port.Open(0), 0u);
      fake.ScriptStatus(operation.driverFunction, answer);
      EXPECT_EQ(operation.run(port), answer);
      EXPECT_EQ(port.Status, answer);
      EXPECT_EQ(fake.calls, (Calls{"FT_Open 0", operation.expectedCall}));
    }
  }
}

TEST(ComAccessTest, LineSettingsAreRecordedEvenWhenTheDriverRefuses) {
  testing::FakeD2xx fake;
  ComAccess port(fake.Functions());
  port.Open(0);
  fake.ScriptStatus("FT_SetBaudRate", d2xx::FT_INVALID_BAUD_RATE);
  fake.ScriptStatus("FT_SetDataCharacteristics", d2xx::FT_IO_ERROR);
  fake.ScriptStatus("FT_SetTimeouts", d2xx::FT_IO_ERROR);
  port.SetBaudRate(57600);
  port.SetDataCharacteristics(7, 2, 1);
  port.SetTimeouts(200, 500);
  EXPECT_EQ(port.BaudRate, 57600u);
  EXPECT_EQ(port.WordLength, 7);
  EXPECT_EQ(port.StopBits, 2);
  EXPECT_EQ(port.Parity, 1);
  EXPECT_EQ(port.ReadTimeout, 200u);
  EXPECT_EQ(port.WriteTimeout, 500u);
}

TEST(ComAccessTest, OpenSuccessAndFailure) {
  testing::FakeD2xx fake;
  fake.deviceCount = 3;
  ComAccess port(fake.Functions());

  fake.ScriptStatus("FT_Open", d2xx::FT_DEVICE_NOT_OPENED);
  EXPECT_EQ(port.Open(2), d2xx::FT_DEVICE_NOT_OPENED);
  EXPECT_EQ(port.Handle, nullptr);  // not the rubbish a failing driver left behind
  EXPECT_EQ(port.OpenIndex, -1);

  EXPECT_EQ(port.Open(2), 0u);
  EXPECT_EQ(port.Handle, fake.HandleOf(2));
  EXPECT_EQ(port.OpenIndex, 2);

  // Opening again while open calls FT_Open alone; a failure drops the handle but keeps the index.
  fake.ScriptStatus("FT_Open", d2xx::FT_DEVICE_NOT_OPENED);
  EXPECT_EQ(port.Open(1), d2xx::FT_DEVICE_NOT_OPENED);
  EXPECT_EQ(port.Handle, nullptr);
  EXPECT_EQ(port.OpenIndex, 2);
  EXPECT_EQ(fake.calls, (Calls{"FT_Open 2", "FT_Open 2", "FT_Open 1"}));
}

TEST(ComAccessTest, CloseTwice) {
  testing::FakeD2xx fake;
  ComAccess port(fake.Functions());
  port.Open(0);
  EXPECT_EQ(port.Close(), 0u);
  EXPECT_EQ(port.Handle, nullptr);
  EXPECT_EQ(port.OpenIndex, -1);
  port.Status = d2xx::FT_OTHER_ERROR;
  EXPECT_EQ(port.Close(), 0u);
  EXPECT_EQ(port.Status, d2xx::FT_OTHER_ERROR);
  EXPECT_EQ(fake.calls, (Calls{"FT_Open 0", "FT_Close #0"}));
}

TEST(ComAccessTest, FailingCloseStillClosesThePort) {
  testing::FakeD2xx fake;
  ComAccess port(fake.Functions());
  port.Open(0);
  fake.ScriptStatus("FT_Close", d2xx::FT_IO_ERROR);
  EXPECT_EQ(port.Close(), d2xx::FT_IO_ERROR);
  EXPECT_EQ(port.Status, d2xx::FT_IO_ERROR);
  EXPECT_EQ(port.Handle, nullptr);
  EXPECT_EQ(port.OpenIndex, -1);
}

TEST(ComAccessTest, ReadReportsWhatArrived) {
  testing::FakeD2xx fake;
  ComAccess port(fake.Functions());
  port.Open(0);
  std::array<std::uint8_t, 100> buffer{};

  // Nothing within the read time-out: no failure, nothing read.
  port.BytesRead = 55;
  EXPECT_EQ(port.Read(buffer.data(), 100), 0u);
  EXPECT_EQ(port.BytesRead, 0u);

  fake.QueueRead(std::vector<std::uint8_t>(130, 0x41));
  EXPECT_EQ(port.Read(buffer.data(), 100), 0u);
  EXPECT_EQ(port.BytesRead, 100u);
  EXPECT_EQ(port.Read(buffer.data(), 100), 0u);
  EXPECT_EQ(port.BytesRead, 30u);
  EXPECT_EQ(buffer[29], 0x41);
}

TEST(ComAccessTest, WriteReportsTheCountWritten) {
  testing::FakeD2xx fake;
  ComAccess port(fake.Functions());
  port.Open(0);
  EXPECT_EQ(port.Write(kSomeBytes.data(), 3), 0u);
  EXPECT_EQ(port.BytesWritten, 3u);
  EXPECT_EQ(fake.written, (std::vector<std::vector<std::uint8_t>>{{0x02, 0x00, 0xFF}}));
}

struct ConfigureCase {
  const char* name;
  const char* failingFunction;  // null: every call succeeds
  FT_STATUS failure;
  FT_STATUS expectedResult;
  bool expectedOpen;
  Calls expectedCalls;
};

TEST(ComAccessTest, OpenAndConfigureOrderAndResult) {
  const Calls allCalls{"FT_Open 0", "FT_ClrDtr #0", "FT_SetBaudRate #0 115200",
                       "FT_SetDataCharacteristics #0 8 0 0", "FT_SetFlowControl #0 0 0 0"};
  const std::vector<ConfigureCase> cases{
      {"all succeed", nullptr, 0, 0, true, allCalls},
      {"open fails",
       "FT_Open",
       d2xx::FT_DEVICE_NOT_FOUND,
       d2xx::FT_DEVICE_NOT_FOUND,
       false,
       {"FT_Open 0"}},
      // The adapter is released again, so that the next open of it does not find it busy.
      {"lowering DTR fails",
       "FT_ClrDtr",
       d2xx::FT_IO_ERROR,
       d2xx::FT_IO_ERROR,
       false,
       {"FT_Open 0", "FT_ClrDtr #0", "FT_Close #0"}},
      {"baud rate fails", "FT_SetBaudRate", d2xx::FT_INVALID_BAUD_RATE, 0, true, allCalls},
      {"line fails", "FT_SetDataCharacteristics", d2xx::FT_IO_ERROR, 0, true, allCalls},
      {"flow control fails", "FT_SetFlowControl", d2xx::FT_IO_ERROR, d2xx::FT_IO_ERROR, true,
       allCalls},
  };
  for (const ConfigureCase& test : cases) {
    SCOPED_TRACE(test.name);
    testing::FakeD2xx fake;
    if (test.failingFunction != nullptr) {
      fake.ScriptStatus(test.failingFunction, test.failure);
    }
    ComAccess port(fake.Functions());
    EXPECT_EQ(port.OpenAndConfigure(0, 115200, d2xx::FT_BITS_8, d2xx::FT_STOP_BITS_1,
                                    d2xx::FT_PARITY_NONE),
              test.expectedResult);
    EXPECT_EQ(port.Status, test.expectedResult);
    EXPECT_EQ(port.IsOpen(), test.expectedOpen);
    EXPECT_EQ(fake.calls, test.expectedCalls);
  }
}

TEST(ComAccessTest, OpenAndConfigureUsesTheGivenDeviceAndLine) {
  testing::FakeD2xx fake;
  fake.deviceCount = 2;
  ComAccess port(fake.Functions());
  EXPECT_EQ(
      port.OpenAndConfigure(1, 9600, d2xx::FT_BITS_7, d2xx::FT_STOP_BITS_2, d2xx::FT_PARITY_EVEN),
      0u);
  EXPECT_EQ(port.OpenIndex, 1);
  EXPECT_EQ(fake.calls,
            (Calls{"FT_Open 1", "FT_ClrDtr #1", "FT_SetBaudRate #1 9600",
                   "FT_SetDataCharacteristics #1 7 2 2", "FT_SetFlowControl #1 0 0 0"}));
}

TEST(ComAccessTest, DestructionMakesNoDriverCall) {
  testing::FakeD2xx fake;
  {
    ComAccess port(fake.Functions());
    port.Open(0);
  }
  EXPECT_EQ(fake.calls, Calls{"FT_Open 0"});
}

}  // namespace
}  // namespace klxr
