// The times of the archive: UTC instants as ISO 8601 text and the computer's offset from UTC.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace klxr::archive {

// 'YYYY-MM-DDTHH:MM:SSZ'.
std::string UtcText(std::chrono::system_clock::time_point instant);

// 'YYYY-MM-DDTHH:MM:SS.mmmZ': the times of label changes, which two people may make within a second
// of each other. The text orders as the times do.
std::string UtcMillisecondText(std::chrono::system_clock::time_point instant);

// The local time's offset from UTC at that instant, '+01:00' or '-05:30'. An offset is kept rather
// than a zone name: it is what every system can say, and it is what turns the UTC time back into
// the local time the installer saw.
std::string UtcOffsetText(std::chrono::system_clock::time_point instant);

// The offset in minutes from two broken-down times of the same instant, local and UTC.
int OffsetMinutes(const std::tm& local, const std::tm& utc);

}  // namespace klxr::archive
