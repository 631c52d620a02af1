// The meter's answers to each command, on the in-process bus with the virtual clock.
#include <gtest/gtest.h>

#include "meter_host.h"

namespace klxr::vm {
namespace {

using testing::AckFrame;
using testing::MeterHost;

RecordBytes Record(std::uint8_t kind, std::uint8_t sequence) {
  RecordBytes record{};
  record[0] = kind;
  record[3] = sequence;
  record[20] = 0;  // a zero byte inside the payload travels like any other
  record[63] = 0xA5;
  return record;
}

std::vector<RecordBytes> ThreeRecords() {
  return {Record('A', 1), Record('D', 2), Record('V', 3)};
}

TEST(MeterAnswers, CommandFramesOnTheWireAreTheLinkVocabulary) {
  struct Case {
    std::string_view word;
    std::string_view hex;
  };
  const Case cases[] = {
      {"LOG", "02 03 4C 4F 47 1A"},
      {"GET", "02 03 47 45 54 1C"},
      {"END", "02 03 45 4E 44 25"},
      {"ERASE", "02 05 45 52 41 53 45 8A"},
      {"VERSION", "02 07 56 45 52 53 49 4F 4E D2"},
      {"SUCCESS", "02 07 53 55 43 43 45 53 53 DF"},
      {"abc", "02 03 61 62 63 D6"},
      {"", "02 00 FF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HexBytes(MakeFrame(c.word)), c.hex) << c.word;
  }
}

TEST(MeterAnswers, EachCommandGetsItsReply) {
  struct Case {
    std::string name;
    Bytes command;
    Bytes reply;
  };
  Bytes badChecksum = MakeFrame("LOG");
  badChecksum.back() ^= 0x01;
  const Case cases[] = {
      {"LOG", MakeFrame("LOG"), {kAck}},
      {"VERSION", MakeFrame("VERSION"), AckFrame(kDefaultVersionText)},
      {"unknown word", MakeFrame("HELLO"), {kNak}},
      {"lower case", MakeFrame("log"), {kNak}},
      {"bad checksum", badChecksum, {kNak}},
      {"GET outside a log conversation", MakeFrame("GET"), {kNak}},
      {"END", MakeFrame("END"), {}},
      {"noise before the frame", testing::Concat({0x06, 0x41, 0x06}, MakeFrame("LOG")), {kAck}},
  };
  for (const Case& c : cases) {
    VirtualBus bus(OneMeter(ThreeRecords()));
    MeterHost host;
    host.WriteBytes(c.command);
    EXPECT_EQ(HexBytes(host.Read(100)), HexBytes(c.reply)) << c.name;
  }
}

TEST(MeterAnswers, GetServesTheRecordsInOrderThenTheEndOfLog) {
  const std::vector<RecordBytes> records = ThreeRecords();
  VirtualBus bus(OneMeter(records));
  MeterHost host;
  ASSERT_EQ(host.Ask("LOG", 1), Bytes{kAck});
  for (const RecordBytes& record : records) {
    EXPECT_EQ(host.Ask("GET", 68), AckFrame(record));
    host.WriteBytes({kAck});
  }
  EXPECT_EQ(host.Ask("GET", 100), AckFrame("END"));
  host.WriteBytes({kAck});
  EXPECT_EQ(host.Ask("GET", 100), AckFrame("END"));
}

TEST(MeterAnswers, LogStartsAgainAtTheFirstRecordAndEndClosesTheConversation) {
  const std::vector<RecordBytes> records = ThreeRecords();
  VirtualBus bus(OneMeter(records));
  MeterHost host;
  host.Ask("LOG", 1);
  host.Ask("GET", 68);
  host.Ask("GET", 68);
  host.Ask("LOG", 1);
  EXPECT_EQ(host.Ask("GET", 68), AckFrame(records[0]));
  host.Send("END");
  EXPECT_EQ(host.Read(100), Bytes{}) << "END has no answer";
  EXPECT_EQ(host.Ask("GET", 100), Bytes{kNak});
  EXPECT_FALSE(bus.Adapter(0).Meter()->InLogConversation());
}

TEST(MeterAnswers, EraseAnswersAfterTheEraseTimeAndEmptiesTheLog) {
  VirtualBus bus(OneMeter(ThreeRecords()));
  MeterHost host(0, 5000);
  host.Ask("LOG", 1);
  const Micros sent = bus.Now();
  EXPECT_EQ(HexBytes(host.Ask("ERASE", 11)), "06 02 07 53 55 43 43 45 53 53 DF");
  EXPECT_GE(bus.Now() - sent, 1'500'000);
  EXPECT_LT(bus.Now() - sent, 1'530'000);
  EXPECT_EQ(bus.Adapter(0).Meter()->RecordCount(), 0u);
  host.Ask("LOG", 1);
  EXPECT_EQ(host.Ask("GET", 100), AckFrame("END"));
}

TEST(MeterAnswers, VersionTextIsConfigurableUpToTheLongestFrame) {
  BusConfig config = OneMeter({});
  config.adapters[0].meter->versionText = std::string(kMaxVersionLength, 'v');
  VirtualBus bus(std::move(config));
  MeterHost host;
  EXPECT_EQ(host.Ask("VERSION", 200), AckFrame(std::string(kMaxVersionLength, 'v')));
}

TEST(MeterAnswers, SilentWhenTheLineIsNotSetUpOrThereIsNoMeter) {
  BusConfig config = OneMeter({});
  config.adapters.push_back(AdapterConfig{});
  config.adapters[1].meter.reset();
  VirtualBus bus(std::move(config));
  {
    MeterHost host;
    host.Driver().FT_SetBaudRate(host.handle, 9600);
    EXPECT_EQ(host.Ask("VERSION", 100), Bytes{}) << "the meter hears garbage at 9600 baud";
    host.Driver().FT_SetBaudRate(host.handle, 115200);
    host.Driver().FT_SetDataCharacteristics(host.handle, d2xx::FT_BITS_7, d2xx::FT_STOP_BITS_1,
                                            d2xx::FT_PARITY_NONE);
    EXPECT_EQ(host.Ask("VERSION", 100), Bytes{}) << "nor with 7 data bits";
    host.Close();
  }
  MeterHost deviceWithoutMeter(1);
  EXPECT_EQ(deviceWithoutMeter.Ask("VERSION", 100), Bytes{});
  EXPECT_EQ(bus.Adapter(1).Meter(), nullptr);
}

TEST(MeterAnswers, ServesTheCountedRecordsOfAGeneratedLog) {
  const std::vector<RecordBytes> records = GeneratedRecords(25, 7);
  ASSERT_EQ(records.size(), 25u);
  EXPECT_EQ(records, GeneratedRecords(25, 7));
  for (const RecordBytes& record : records) {
    EXPECT_TRUE(record[0] == 'A' || record[0] == 'D' || record[0] == 'V');
  }
  EXPECT_EQ(GeneratedRecords(kSlotCount, 1).size(), static_cast<std::size_t>(kSlotCount));
}

}  // namespace
}  // namespace klxr::vm
