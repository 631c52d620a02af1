// The archive's pure parts: SHA-256 against the standard vectors, the time texts, and what a
// channel query looks for.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "archive/channel_query.h"
#include "archive/sha256.h"
#include "archive/survey_time.h"

namespace klxr::archive {
namespace {

std::string HexOf(const std::string& text) {
  return Sha256Hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

TEST(Sha256, StandardVectors) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1'000'000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      // Tails that fill one last block exactly, or spill into a second one.
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(HexOf(test.message), test.digest) << test.message.size() << " bytes";
  }
}

std::tm Parts(int year, int yearDay, int hour, int minute) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_yday = yearDay;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  return parts;
}

TEST(SurveyTime, OffsetFromTheTwoBrokenDownTimes) {
  const struct {
    std::tm local;
    std::tm utc;
    int minutes;
  } cases[] = {
      {Parts(2026, 10, 13, 0), Parts(2026, 10, 12, 0), 60},
      {Parts(2026, 10, 12, 0), Parts(2026, 10, 17, 30), -330},
      {Parts(2026, 11, 1, 0), Parts(2026, 10, 23, 0), 120},    // local is on the next day
      {Parts(2027, 0, 0, 45), Parts(2026, 364, 23, 0), 105},   // and in the next year
      {Parts(2026, 364, 19, 0), Parts(2027, 0, 0, 0), -300},   // UTC in the next year
      {Parts(2026, 100, 5, 45), Parts(2026, 100, 0, 0), 345},  // a quarter-hour zone
  };
  for (const auto& test : cases) {
    EXPECT_EQ(OffsetMinutes(test.local, test.utc), test.minutes);
  }
}

TEST(SurveyTime, UtcTextIsIso8601ToTheSecond) {
  EXPECT_EQ(UtcText(std::chrono::system_clock::from_time_t(0)), "1970-01-01T00:00:00Z");
  EXPECT_EQ(UtcText(std::chrono::system_clock::from_time_t(1'773'480'413)), "2026-03-14T09:26:53Z");
}

TEST(ChannelQuery, NamesFrequenciesAndBareNumbers) {
  const struct {
    const char* text;
    std::optional<std::string> channel;
    std::optional<std::uint32_t> kilohertz;
  } cases[] = {
      {"CH32", "CH32", std::nullopt},   {"  E21 ", "E21", std::nullopt},
      {"482", "482", 482000},           {"482.25", "482.25", 482250},
      {"55250", "55250", 55250},        {"482.25 MHz", std::nullopt, 482250},
      {"482mhz", std::nullopt, 482000}, {"482250kHz", std::nullopt, 482250},
      {"0", "0", std::nullopt},         {"-5", "-5", std::nullopt},
      {"MHz", "MHz", std::nullopt},     {"1e99", "1e99", std::nullopt},
  };
  for (const auto& test : cases) {
    const ChannelQuery query = ParseChannelQuery(test.text);
    EXPECT_EQ(query.channel, test.channel) << test.text;
    EXPECT_EQ(query.frequencyKhz, test.kilohertz) << test.text;
  }
}

}  // namespace
}  // namespace klxr::archive
