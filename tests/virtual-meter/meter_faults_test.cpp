// Faults the meter injects, per command word and occurrence.
#include <gtest/gtest.h>

#include <optional>

#include "meter_host.h"

namespace klxr::vm {
namespace {

using testing::AckFrame;
using testing::MeterHost;

RecordBytes Record(std::uint8_t sequence) {
  RecordBytes record{};
  record[0] = 'D';
  record[3] = sequence;
  return record;
}

// Feeds one command frame to the meter; its answer, if any.
std::optional<ReplyPlan> Answer(MeterModel& meter, std::string_view word) {
  std::optional<ReplyPlan> reply;
  for (std::uint8_t byte : MakeFrame(word)) {
    reply = meter.Receive(byte);
  }
  return reply;
}

FaultRule Fault(std::string command, int first, int last, FaultKind kind) {
  FaultRule rule;
  rule.command = std::move(command);
  rule.firstOccurrence = first;
  rule.lastOccurrence = last;
  rule.kind = kind;
  return rule;
}

TEST(MeterFaults, ShapeTheReplyBytes) {
  struct Case {
    std::string name;
    FaultRule rule;
    std::string_view word;
    std::optional<Bytes> reply;  // nothing: silence
  };
  FaultRule shortPayload = Fault("VERSION", 1, 1, FaultKind::kShortPayload);
  shortPayload.payloadBytes = 4;
  Bytes badChecksum = AckFrame(kDefaultVersionText);
  badChecksum.back() = static_cast<std::uint8_t>(~badChecksum.back());
  Bytes garbled = AckFrame("SUCCESS");
  garbled[0] = 0x86;
  const Case cases[] = {
      {"silence", Fault("LOG", 1, 1, FaultKind::kSilence), "LOG", std::nullopt},
      {"nak", Fault("VERSION", 1, 1, FaultKind::kNak), "VERSION", Bytes{kNak}},
      {"bad checksum", Fault("VERSION", 1, 1, FaultKind::kBadChecksum), "VERSION", badChecksum},
      {"bad checksum of a bare ACK", Fault("LOG", 1, 1, FaultKind::kBadChecksum), "LOG",
       Bytes{kAck}},
      {"short payload", shortPayload, "VERSION", AckFrame("KLXR")},
      {"garbled first byte", Fault("ERASE", 1, 1, FaultKind::kGarbledFirst), "ERASE", garbled},
      {"garbled bare ACK", Fault("LOG", 1, 1, FaultKind::kGarbledFirst), "LOG", Bytes{0x86}},
      {"another command", Fault("GET", 1, 1, FaultKind::kNak), "VERSION",
       AckFrame(kDefaultVersionText)},
  };
  for (const Case& c : cases) {
    MeterConfig config;
    config.faults.push_back(c.rule);
    MeterModel meter(config);
    const std::optional<ReplyPlan> reply = Answer(meter, c.word);
    ASSERT_EQ(reply.has_value(), c.reply.has_value()) << c.name;
    if (reply) {
      EXPECT_EQ(HexBytes(reply->bytes), HexBytes(*c.reply)) << c.name;
    }
  }
}

TEST(MeterFaults, ChooseTheOccurrencesOfTheirCommand) {
  struct Case {
    int first;
    int last;
    std::string expected;  // per GET: R = a record, N = NAK
  };
  const Case cases[] = {
      {1, INT_MAX, "NNNNN"},  // every
      {3, 3, "RRNRR"},        // the 3rd
      {2, 3, "RNNRR"},        // the 2nd to the 3rd
      {4, INT_MAX, "RRRNN"},  // from the 4th on
  };
  for (const Case& c : cases) {
    MeterConfig config;
    config.records.assign(10, Record(1));
    config.faults.push_back(Fault("GET", c.first, c.last, FaultKind::kNak));
    MeterModel meter(config);
    Answer(meter, "LOG");
    std::string seen;
    for (int i = 0; i < 5; ++i) {
      seen += Answer(meter, "GET")->bytes == Bytes{kNak} ? 'N' : 'R';
    }
    EXPECT_EQ(seen, c.expected) << c.first << "-" << c.last;
  }
}

TEST(MeterFaults, ARejectedCommandIsNotTaken) {
  MeterConfig config;
  config.records = {Record(1), Record(2)};
  config.faults.push_back(Fault("GET", 2, 2, FaultKind::kSilence));
  config.faults.push_back(Fault("ERASE", 1, 1, FaultKind::kNak));
  MeterModel meter(config);
  Answer(meter, "LOG");
  EXPECT_EQ(Answer(meter, "GET")->bytes, AckFrame(Record(1)));
  EXPECT_FALSE(Answer(meter, "GET").has_value());
  EXPECT_EQ(Answer(meter, "GET")->bytes, AckFrame(Record(2))) << "the silenced GET kept its record";
  EXPECT_EQ(Answer(meter, "ERASE")->bytes, Bytes{kNak});
  EXPECT_EQ(meter.RecordCount(), 2u) << "the refused ERASE erased nothing";
  EXPECT_EQ(meter.Occurrences("GET"), 3);
}

TEST(MeterFaults, ASplitReplyArrivesInTwoPartsAfterTheGap) {
  BusConfig config = OneMeter({});
  FaultRule split = Fault("VERSION", 1, 1, FaultKind::kSplit);
  split.splitAfterBytes = 3;
  split.delayUs = 300'000;
  config.adapters[0].meter->faults.push_back(split);
  VirtualBus bus(std::move(config));
  MeterHost host;
  const Bytes whole = AckFrame(kDefaultVersionText);
  host.Send("VERSION");
  EXPECT_EQ(host.Read(100), Bytes(whole.begin(), whole.begin() + 3)) << "the first read";
  EXPECT_EQ(host.Read(100), Bytes(whole.begin() + 3, whole.end())) << "the next read";
  // The first part leaves with the latency timer at 16 ms. The rest enters the chip 300 ms after
  // it would have (at 301368 us) and leaves when the timer next runs out, at 16 ms + 18 periods.
  const std::vector<Micros>& arrivals = bus.Transcript().back().arrivalUs;
  EXPECT_EQ(arrivals[2], 16'000);
  EXPECT_EQ(arrivals[3], 304'000);
}

TEST(MeterFaults, ASlowMeterAnswersLater) {
  BusConfig config = OneMeter({});
  FaultRule slow = Fault("LOG", 1, INT_MAX, FaultKind::kSlow);
  slow.delayUs = 250'000;
  config.adapters[0].meter->faults.push_back(slow);
  VirtualBus bus(std::move(config));
  MeterHost host;
  const Micros sent = bus.Now();
  host.Send("LOG");
  EXPECT_EQ(host.Read(1), Bytes{}) << "nothing within the 200 ms time-out";
  EXPECT_EQ(host.Read(1), Bytes{kAck});
  EXPECT_GE(bus.Transcript().back().timeUs - sent, 250'000);
}

}  // namespace
}  // namespace klxr::vm
