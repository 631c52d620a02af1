// Turning one log record into a DecodedEntry: its fields as numbers and texts, the tab-separated
// display line of the log viewer and the line of the CSV export.
#pragma once

#include <cstdint>
#include <string>

#include "log/log_image.h"

namespace klxr {

// Units flag of FormatRecord: exactly 1 shows the levels of the display line in dBuV, any other
// value in dBm. The CSV line carries both units whatever the flag.
inline constexpr std::uint8_t kUnitsDbm = 0;
inline constexpr std::uint8_t kUnitsDbuv = 1;

// The decoded fields of one record. Fields a kind does not fill stay zero and texts empty.
struct DecodedEntry {
  char Kind = 0;
  std::int8_t SubSequence = 0;
  int Sequence = 0;  // 0 to 65535
  std::uint32_t Frequency = 0;
  std::string Channel;        // at most 10 characters
  std::string Specification;  // at most 10 characters
  std::string Multiplex;      // at most 12 characters
  std::uint8_t StatusByte = 0;
  // Kinds 'D' and 'V'.
  std::uint8_t Mode = 0;
  int DigitalPower = 0;  // the LevelWord as stored
  int Mer = 0;           // the LevelWord as stored
  std::uint32_t ErrorCount = 0;
  // Kind 'A': the LevelWords, sign-extended from 16 bits.
  int VideoPower = 0;
  int AudioPower = 0;
  int CarrierToNoise = 0;
  int ExtraLevel = 0;
  // Kinds 'D' and 'V': carried, shown in neither line.
  std::uint8_t RecordByte52 = 0;
  std::uint8_t GuardInterval = 0;
  int RecordWord54 = 0;
  int RecordWord56 = 0;
  std::uint8_t PlpMode = 0;
  std::uint8_t CodeRate = 0;
  // Fields separated by tabs: 20 for kinds 'A' and 'E', 18 for 'D' and 'V'; no line end.
  std::string DisplayLine;
  // 17 quoted fields separated by commas, ended by CR LF.
  std::string CsvLine;
};

// Fills entry afresh from slot index of the image; units as above. A slot of a kind other than 'A',
// 'D', 'V' or 'E' gives two empty lines. Returns true for every slot; false only for an index
// outside 0 to kSlotCount - 1, which leaves the entry cleared.
bool FormatRecord(const LogImage& image, int index, DecodedEntry& entry, std::uint8_t units);

// "%04d-%02d" of Sequence and SubSequence: 12 and 3 give "0012-03", 7 and -1 give "0007--1".
std::string SequenceText(int sequence, int subSequence);

// The bit error ratio ErrorCount x 1e-8 with two decimals and a three-digit exponent: "2.50E-006".
std::string BerText(std::uint32_t errorCount);

// From Quality (0 to 7): "FAIL", "FAIL", "POOR", "MARGINAL", "PASS", "PASS", "", "".
std::string StatusText(int quality);
// Quality asterisks.
std::string QualityText(int quality);

}  // namespace klxr
