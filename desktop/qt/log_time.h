// The log's file time as the core keeps it (a system clock time, or none) and as the report's
// header takes it (a QDateTime in local time, invalid for none).
#pragma once

#include <QDateTime>
#include <chrono>
#include <optional>

namespace klxr {

inline QDateTime ToQDateTime(const std::optional<std::chrono::system_clock::time_point>& time) {
  if (!time) {
    return {};
  }
  const auto sinceEpoch =
      std::chrono::duration_cast<std::chrono::milliseconds>(time->time_since_epoch());
  return QDateTime::fromMSecsSinceEpoch(sinceEpoch.count());
}

inline std::optional<std::chrono::system_clock::time_point> FromQDateTime(const QDateTime& time) {
  if (!time.isValid()) {
    return std::nullopt;
  }
  return std::chrono::system_clock::time_point(std::chrono::milliseconds(time.toMSecsSinceEpoch()));
}

}  // namespace klxr
