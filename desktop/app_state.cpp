#include "desktop/app_state.h"

namespace klxr {

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
