#include "log/record_layout.h"

#include <algorithm>

namespace klxr::layout {

std::uint16_t ReadU16(RecordBytes record, std::size_t offset) {
  return static_cast<std::uint16_t>((record[offset] << 8) | record[offset + 1]);
}

std::uint32_t ReadU32(RecordBytes record, std::size_t offset) {
  return (std::uint32_t{record[offset]} << 24) | (std::uint32_t{record[offset + 1]} << 16) |
         (std::uint32_t{record[offset + 2]} << 8) | std::uint32_t{record[offset + 3]};
}

std::string ReadText(RecordBytes record, std::size_t offset, std::size_t width) {
  auto first = record.begin() + static_cast<std::ptrdiff_t>(offset);
  auto last = first + static_cast<std::ptrdiff_t>(width);
  return std::string(first, std::find(first, last, std::uint8_t{0}));
}

std::string_view ModulationName(std::uint8_t code) {
  switch (code) {
    case 2:
      return "BPSK";
    case 4:
      return "QPSK";
    case 16:
      return "QAM16";
    case 64:
      return "QAM64";
    case 65:
      return "QAM128";
    case 66:
      return "QAM256";
    case 67:
      return "QAM512";
    case 68:
      return "QAM1024";
    default:
      return "";
  }
}

std::string_view GuardIntervalName(std::uint8_t code) {
  switch (code) {
    case 2:
      return "1/4";
    case 3:
      return "1/8";
    case 4:
      return "1/16";
    case 5:
      return "1/32";
    case 6:
      return "19/128";
    case 7:
      return "19/256";
    default:
      return "";
  }
}

std::string_view CodeRateName(std::uint8_t code) {
  switch (code) {
    case 1:
      return "1/2";
    case 2:
      return "2/3";
    case 3:
      return "3/4";
    case 4:
      return "3/5";
    case 5:
      return "4/5";
    case 6:
      return "5/6";
    case 7:
      return "6/7";
    case 8:
      return "7/8";
    case 9:
      return "8/9";
    default:
      return "";
  }
}

}  // namespace klxr::layout
