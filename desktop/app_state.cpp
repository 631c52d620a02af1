#include "desktop/app_state.h"

#include <filesystem>
#include <system_error>

namespace klxr {

std::optional<std::chrono::system_clock::time_point> LogFileTime(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_time_type modified =
      std::filesystem::last_write_time(std::filesystem::path(path), error);
  if (error) {
    return std::nullopt;
  }
  return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
      std::chrono::file_clock::to_sys(modified));
}

std::string MainWindowTitle(std::string_view caption, std::optional<std::int64_t> survey,
                            const TitleMeter& meter) {
  std::string title = survey ? "Survey " + std::to_string(*survey) + " - " + std::string(caption)
                             : std::string(caption);
  if (meter.demo) {
    title += " - demo meter";
  }
  if (meter.deviceIndex != 0) {
    title += meter.demo ? " " : " - meter ";
    title += std::to_string(meter.deviceIndex + 1) + " (" + std::string(meter.versionText) + ")";
  }
  return title;
}

void PickMeter(AppState& state, const ListedMeter& meter) {
  state.Link.DeviceIndex = meter.deviceIndex;
  state.PickedMeterText = meter.versionText;
}

TitleMeter MeterInUse(const AppState& state) {
  return {state.DemoMeter, state.Link.DeviceIndex, state.PickedMeterText};
}

}  // namespace klxr
