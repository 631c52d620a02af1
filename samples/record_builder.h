// Writing log records byte by byte, the inverse of the record layout: used by the sample-log
// generator, the virtual meter and the tests to build records of every kind.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace klxr::samples {

using SlotBytes = std::span<std::uint8_t, 64>;

enum class LevelRange { InRange, Over, Under, NoValue };

// The LevelWord of a value in tenths (-2048 to 2047; bits beyond 12 are dropped) and range marks.
std::uint16_t MakeLevelWord(int tenths, LevelRange range = LevelRange::InRange);

struct CommonFields {
  std::uint8_t kind = 'D';
  int sequence = 0;     // 0 to 65535
  int subSequence = 0;  // -128 to 127
  std::uint32_t frequency = 0;
  std::string channel;        // cut to 10 bytes
  std::string specification;  // cut to 10 bytes
  std::string multiplex;      // cut to 12 bytes
  std::uint8_t statusByte = 0;
};

struct AnalogueFields {
  std::uint16_t videoPower = 0;
  std::uint16_t audioPower = 0;
  std::uint16_t carrierToNoise = 0;
  std::uint16_t extraLevel = 0;
};

struct DigitalFields {
  std::uint8_t mode = 0;
  std::uint16_t digitalPower = 0;
  std::uint16_t mer = 0;
  std::uint32_t errorCount = 0;
  std::uint8_t recordByte52 = 0;
  std::uint8_t guardInterval = 0;
  std::uint16_t recordWord54 = 0;
  std::uint16_t recordWord56 = 0;
  std::uint8_t plpMode = 0;
  std::uint8_t codeRate = 0;
};

// Each clears the slot first, then writes the common part and the kind's own fields.
void WriteNamesOnlyRecord(SlotBytes slot, const CommonFields& common);
void WriteAnalogueRecord(SlotBytes slot, const CommonFields& common, const AnalogueFields& fields);
void WriteDigitalRecord(SlotBytes slot, const CommonFields& common, const DigitalFields& fields);

}  // namespace klxr::samples
