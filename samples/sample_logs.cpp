#include "samples/sample_logs.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "samples/record_builder.h"

namespace klxr::samples {
namespace {

// A small deterministic generator (SplitMix64): the same numbers for a seed on every platform and
// standard library, unlike the standard distributions.
class SampleRandom {
 public:
  explicit SampleRandom(unsigned seed) : state_(0x9E3779B97F4A7C15ull * (seed + 1ull)) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number from low to high, both included.
  int Between(int low, int high) {
    return low + static_cast<int>(Next() % static_cast<std::uint64_t>(high - low + 1));
  }
  // True once in `times` on average.
  bool OneIn(int times) { return Between(1, times) == 1; }

 private:
  std::uint64_t state_;
};

constexpr int kFirstUhfChannel = 21;
constexpr int kLastUhfChannel = 69;
constexpr std::uint32_t kChannel21CentreKhz = 474000;
constexpr std::uint32_t kChannelSpacingKhz = 8000;
constexpr std::uint32_t kVisionCarrierBelowCentreKhz = 2750;  // PAL I vision carrier
constexpr std::uint32_t kOffsetKhz = 166;                     // the "+" and "-" channel offsets

struct Multiplex {
  const char* name;
  bool secondGeneration;  // DVB-T2
  std::uint8_t modulation;
};

// Multiplex names as a meter reads them from the network; some in 8-bit Latin-1.
constexpr std::array<Multiplex, 12> kMultiplexes{{
    {"PSB1", false, 64},
    {"PSB2", false, 64},
    {"PSB3", true, 66},
    {"COM4", false, 64},
    {"COM5", false, 64},
    {"COM6", false, 16},
    {"COM7", true, 66},
    {"LOCAL", false, 4},
    {"HD MULTIPLEX", true, 66},
    {"R\xE9gion Est", false, 64},
    {"T\xE9l\xE9 Nord", false, 64},
    {"S\xFC"
     "dwest",
     true, 65},
}};

constexpr std::array<const char*, 4> kAnalogueNames{{"ANALOGUE", "TEST CARD", "", "RELAY 2"}};

std::uint32_t CentreKhz(int channel) {
  return kChannel21CentreKhz + std::uint32_t(channel - kFirstUhfChannel) * kChannelSpacingKhz;
}

std::string ChannelName(int channel) {
  return "CH" + std::to_string(channel);
}

// Reception quality from the MER in tenths of dB, as a meter judges it.
int QualityFromMer(int merTenths, SampleRandom& random) {
  if (merTenths < 150)
    return random.Between(0, 1);
  if (merTenths < 200)
    return 2;
  if (merTenths < 230)
    return 3;
  if (merTenths < 300)
    return 4;
  if (merTenths < 340)
    return 5;
  return random.OneIn(6) ? random.Between(6, 7) : 5;
}

std::uint32_t ErrorCountForQuality(int quality, SampleRandom& random) {
  switch (quality) {
    case 0:
    case 1:
      return std::uint32_t(random.Between(300000, 5000000));
    case 2:
      return std::uint32_t(random.Between(50000, 300000));
    case 3:
      return std::uint32_t(random.Between(2000, 50000));
    case 4:
      return std::uint32_t(random.Between(10, 2000));
    default:
      return std::uint32_t(random.OneIn(2) ? 0 : random.Between(1, 20));
  }
}

void WriteDigital(SlotBytes slot, CommonFields common, int channel, int siteLevel,
                  SampleRandom& random) {
  const Multiplex& mux = kMultiplexes[std::size_t(random.Between(0, int(kMultiplexes.size()) - 1))];
  common.kind = mux.secondGeneration ? 'V' : 'D';
  common.specification = mux.secondGeneration ? "DVB-T2" : "DVB-T";
  common.multiplex = mux.name;
  common.channel = ChannelName(channel);
  common.frequency = CentreKhz(channel);
  if (random.OneIn(8)) {
    const bool up = random.OneIn(2);
    common.channel += up ? "+" : "-";
    common.frequency = up ? common.frequency + kOffsetKhz : common.frequency - kOffsetKhz;
  }
  const int power = siteLevel + random.Between(-80, 40);
  int mer = std::clamp(200 + (power + 700) / 2 + random.Between(-30, 30), 60, 380);
  DigitalFields fields;
  fields.digitalPower = MakeLevelWord(power);
  fields.mer = MakeLevelWord(mer);
  if (random.OneIn(30)) {  // too weak for the meter's range
    fields.digitalPower = MakeLevelWord(-800, LevelRange::Under);
    mer = 50;
    fields.mer = MakeLevelWord(mer, LevelRange::Under);
  } else if (random.OneIn(40)) {  // overloading the input
    fields.digitalPower = MakeLevelWord(-150, LevelRange::Over);
    mer = 210;
    fields.mer = MakeLevelWord(mer);
  }
  const int quality = QualityFromMer(mer, random);
  common.statusByte = static_cast<std::uint8_t>(quality | (random.OneIn(4) ? 0x80 : 0x00));
  fields.mode = mux.modulation;
  fields.plpMode = mux.modulation;
  fields.errorCount = ErrorCountForQuality(quality, random);
  fields.recordByte52 = mux.secondGeneration ? 32 : 8;
  fields.guardInterval =
      mux.secondGeneration ? (random.OneIn(2) ? 7 : 6) : (random.OneIn(3) ? 2 : 5);
  fields.codeRate = mux.secondGeneration ? (random.OneIn(2) ? 4 : 2) : (random.OneIn(2) ? 2 : 3);
  fields.recordWord54 = static_cast<std::uint16_t>(random.Between(0, 0xFFFF));
  fields.recordWord56 = static_cast<std::uint16_t>(0x3000 + random.Between(0, 0xFF));
  WriteDigitalRecord(slot, common, fields);
}

void WriteAnalogue(SlotBytes slot, CommonFields common, int channel, int siteLevel,
                   SampleRandom& random) {
  common.kind = 'A';
  common.specification = "PAL-I";
  common.multiplex = kAnalogueNames[std::size_t(random.Between(0, int(kAnalogueNames.size()) - 1))];
  common.channel = ChannelName(channel);
  common.frequency = CentreKhz(channel) - kVisionCarrierBelowCentreKhz;
  common.statusByte = static_cast<std::uint8_t>(random.Between(0, 7));
  const int video = siteLevel + random.Between(-60, 60);
  const int audio = video - random.Between(100, 130);
  AnalogueFields fields;
  fields.videoPower =
      random.OneIn(25) ? MakeLevelWord(-100, LevelRange::Over) : MakeLevelWord(video);
  fields.audioPower = MakeLevelWord(audio);
  fields.carrierToNoise = random.OneIn(25) ? MakeLevelWord(200, LevelRange::Under)
                                           : MakeLevelWord(random.Between(400, 520));
  fields.extraLevel = MakeLevelWord(audio - 70);
  WriteAnalogueRecord(slot, common, fields);
}

// The channels measured at one site, ascending: mostly digital multiplexes, a few analogue ones.
struct SiteChannel {
  int channel;
  bool analogue;
};

std::vector<SiteChannel> PlanSite(SampleRandom& random) {
  std::vector<SiteChannel> plan;
  const int digital = random.Between(5, 9);
  const int analogue = random.Between(0, 2);
  while (int(plan.size()) < digital + analogue) {
    const int channel = random.Between(kFirstUhfChannel, kLastUhfChannel);
    if (std::none_of(plan.begin(), plan.end(),
                     [&](const SiteChannel& taken) { return taken.channel == channel; })) {
      plan.push_back({channel, int(plan.size()) >= digital});
    }
  }
  std::sort(plan.begin(), plan.end(),
            [](const SiteChannel& a, const SiteChannel& b) { return a.channel < b.channel; });
  return plan;
}

}  // namespace

LogImage MakeRealisticLog(int recordCount, unsigned seed) {
  LogImage image;
  SampleRandom random(seed);
  const int count = std::clamp(recordCount, 0, kSlotCount);
  int sequence = random.Between(1, 20);
  int slot = 0;
  while (slot < count) {
    // One site: a sequence number, its channels numbered upward from 1.
    const int siteLevel = random.Between(-650, -350);
    int subSequence = 1;
    for (const SiteChannel& planned : PlanSite(random)) {
      if (slot == count) {
        break;
      }
      CommonFields common;
      common.sequence = sequence;
      common.subSequence = subSequence++;
      if (planned.analogue) {
        WriteAnalogue(image.Slot(slot), common, planned.channel, siteLevel, random);
      } else {
        WriteDigital(image.Slot(slot), common, planned.channel, siteLevel, random);
      }
      ++slot;
    }
    sequence += random.Between(1, 3);
  }
  return image;
}

}  // namespace klxr::samples
