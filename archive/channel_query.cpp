#include "archive/channel_query.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace klxr::archive {
namespace {

// Numbers below this are taken as MHz: no channel of the meter's bands lies below 10 MHz.
constexpr double kLargestMhz = 10000;
constexpr double kLargestKhz = 4.0e9;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

bool EndsWithUnit(std::string_view& text, std::string_view unit) {
  if (text.size() < unit.size()) {
    return false;
  }
  const std::string_view end = text.substr(text.size() - unit.size());
  for (std::size_t i = 0; i < unit.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(end[i])) != unit[i]) {
      return false;
    }
  }
  text = Trimmed(text.substr(0, text.size() - unit.size()));
  return true;
}

std::optional<double> Number(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value <= 0 ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::uint32_t> Kilohertz(double value, double scale) {
  const double khz = std::round(value * scale);
  if (khz < 1 || khz > kLargestKhz) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(khz);
}

}  // namespace

ChannelQuery ParseChannelQuery(std::string_view text) {
  text = Trimmed(text);
  std::string_view number = text;
  ChannelQuery query;
  if (EndsWithUnit(number, "mhz")) {
    if (const auto value = Number(number)) {
      query.frequencyKhz = Kilohertz(*value, 1000);
      return query;
    }
  } else if (EndsWithUnit(number, "khz")) {
    if (const auto value = Number(number)) {
      query.frequencyKhz = Kilohertz(*value, 1);
      return query;
    }
  } else if (const auto value = Number(text)) {
    query.frequencyKhz = Kilohertz(*value, *value < kLargestMhz ? 1000 : 1);
  }
  query.channel = std::string(text);
  return query;
}

}  // namespace klxr::archive
