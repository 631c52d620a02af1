#include "archive/survey_time.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace klxr::archive {
namespace {

// The C library's broken-down time functions share one buffer: the copies are taken under a lock.
std::mutex timeLock;

std::tm UtcParts(std::time_t time) {
  const std::lock_guard<std::mutex> guard(timeLock);
  const std::tm* parts = std::gmtime(&time);
  return parts != nullptr ? *parts : std::tm{};
}

std::tm LocalParts(std::time_t time) {
  const std::lock_guard<std::mutex> guard(timeLock);
  const std::tm* parts = std::localtime(&time);
  return parts != nullptr ? *parts : std::tm{};
}

}  // namespace

std::string UtcText(std::chrono::system_clock::time_point instant) {
  const std::tm utc = UtcParts(std::chrono::system_clock::to_time_t(instant));
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
  return text;
}

std::string UtcMillisecondText(std::chrono::system_clock::time_point instant) {
  using std::chrono::milliseconds;
  const auto sinceEpoch = std::chrono::duration_cast<milliseconds>(instant.time_since_epoch());
  const auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
  const long long millis = (sinceEpoch - seconds).count();
  std::string text = UtcText(std::chrono::system_clock::time_point(seconds));
  char fraction[24];
  std::snprintf(fraction, sizeof fraction, ".%03lldZ", millis);
  text.replace(text.size() - 1, 1, fraction);
  return text;
}

int OffsetMinutes(const std::tm& local, const std::tm& utc) {
  // The two dates are at most one day apart; across a new year the later year's day 0 follows.
  int days = local.tm_yday - utc.tm_yday;
  if (local.tm_year != utc.tm_year) {
    days = local.tm_year > utc.tm_year ? 1 : -1;
  }
  return days * 1440 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
}

std::string UtcOffsetText(std::chrono::system_clock::time_point instant) {
  const std::time_t time = std::chrono::system_clock::to_time_t(instant);
  const int minutes = OffsetMinutes(LocalParts(time), UtcParts(time));
  const int size = minutes < 0 ? -minutes : minutes;
  char text[32];
  std::snprintf(text, sizeof text, "%c%02d:%02d", minutes < 0 ? '-' : '+', size / 60, size % 60);
  return text;
}

}  // namespace klxr::archive
