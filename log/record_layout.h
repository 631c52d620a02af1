// The byte layout of one 64-byte log record and the code tables of its fields. Numbers of two or
// four bytes are big-endian; texts are 8-bit characters in fixed fields filled up with NUL bytes (a
// text that fills its whole field has no NUL).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace klxr::layout {

using RecordBytes = std::span<const std::uint8_t, 64>;

// Record kinds (byte 0). Any other value, 0 in an empty slot included, is no record.
inline constexpr std::uint8_t kKindAnalogue = 'A';      // video carrier, audio carrier, C/N
inline constexpr std::uint8_t kKindDigital = 'D';       // digital multiplex
inline constexpr std::uint8_t kKindDigitalOther = 'V';  // digital multiplex, same layout as 'D'
inline constexpr std::uint8_t kKindNamesOnly = 'E';     // names only; ends the counted run

// Common part, every kind.
inline constexpr std::size_t kKind = 0;            // 1 byte, record kind
inline constexpr std::size_t kSubSequence = 1;     // 1 byte, signed: second part of the sequence
inline constexpr std::size_t kSequence = 2;        // 2 bytes, unsigned: first part of the sequence
inline constexpr std::size_t kFrequency = 4;       // 4 bytes, unsigned, kHz
inline constexpr std::size_t kChannel = 8;         // 10 bytes of text
inline constexpr std::size_t kSpecification = 18;  // 10 bytes of text
inline constexpr std::size_t kMultiplex = 28;      // 12 bytes of text
inline constexpr std::size_t kStatusByte = 40;     // 1 byte, bits 0-2 the reception quality
inline constexpr std::size_t kChannelWidth = 10;
inline constexpr std::size_t kSpecificationWidth = 10;
inline constexpr std::size_t kMultiplexWidth = 12;
inline constexpr std::uint8_t kQualityMask = 0x07;

// Kind 'A'. Bytes 49-63 are not interpreted.
inline constexpr std::size_t kVideoPower = 41;      // LevelWord, tenths of dBm
inline constexpr std::size_t kAudioPower = 43;      // LevelWord, tenths of dBm
inline constexpr std::size_t kCarrierToNoise = 45;  // LevelWord, tenths of dB
inline constexpr std::size_t kExtraLevel = 47;      // LevelWord, carried but never shown

// Kinds 'D' and 'V'. Bytes 50-51 and 60-63 are not interpreted.
inline constexpr std::size_t kMode = 41;           // 1 byte, modulation code
inline constexpr std::size_t kDigitalPower = 42;   // LevelWord, tenths of dBm
inline constexpr std::size_t kMer = 44;            // LevelWord, tenths of dB
inline constexpr std::size_t kErrorCount = 46;     // 4 bytes, unsigned: BER = count x 1e-8
inline constexpr std::size_t kRecordByte52 = 52;   // 1 byte, carried but never shown
inline constexpr std::size_t kGuardInterval = 53;  // 1 byte, guard interval code, never shown
inline constexpr std::size_t kRecordWord54 = 54;   // 2 bytes, unsigned, carried but never shown
inline constexpr std::size_t kRecordWord56 = 56;   // 2 bytes, unsigned, carried but never shown
inline constexpr std::size_t kPlpMode = 58;        // 1 byte, modulation code of the PLP
inline constexpr std::size_t kCodeRate = 59;       // 1 byte, code rate code, never shown

std::uint16_t ReadU16(RecordBytes record, std::size_t offset);
std::uint32_t ReadU32(RecordBytes record, std::size_t offset);

// The text of a field: its bytes up to the first NUL, or all width bytes when it holds no NUL.
std::string ReadText(RecordBytes record, std::size_t offset, std::size_t width);

// Names of the codes; the empty text for a code without a name.
std::string_view ModulationName(std::uint8_t code);     // Mode and PlpMode
std::string_view GuardIntervalName(std::uint8_t code);  // GuardInterval
std::string_view CodeRateName(std::uint8_t code);       // CodeRate

}  // namespace klxr::layout
