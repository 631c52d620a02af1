#include "link/meter_link.h"

#include <algorithm>

#include "link/driver_messages.h"

namespace klxr {

d2xx::FT_STATUS OpenMeterLine(ComAccess& port, std::int32_t deviceIndex) {
  return port.OpenAndConfigure(deviceIndex, kMeterBaudRate, d2xx::FT_BITS_8, d2xx::FT_STOP_BITS_1,
                               d2xx::FT_PARITY_NONE);
}

bool UsesFastTransfer(const MeterLink& link) {
  return link.Transfer == TransferMode::kFast && link.DriverLibrary != nullptr &&
         d2xx::HasFastTransferFunctions(*link.DriverLibrary);
}

void PrepareConversation(ComAccess& port, TransferMode mode) {
  if (mode == TransferMode::kFast) {
    port.SetLatencyTimer(kFastLatencyTimerMs);
  }
  port.SetTimeouts(kMeterReadTimeoutMs, kMeterWriteTimeoutMs);
  port.PurgeRx();
  port.PurgeTx();
}

bool OpenSharedPortForConversation(MeterLink& link) {
  if (link.SharedPort == nullptr) {
    ShowMessage(link.Boxes, msg::kUsbPortError, BoxKind::Error);
    return false;
  }
  ComAccess& port = *link.SharedPort;
  port.Close();
  if (const d2xx::FT_STATUS status = OpenMeterLine(port, link.DeviceIndex); status != d2xx::FT_OK) {
    // A line setting that failed after the open leaves nothing this port can use; closing it
    // releases the adapter for the next conversation and for the device list.
    port.Close();
    ShowMessage(link.Boxes, msg::kUsbPortError, BoxKind::Error,
                LeadProblemText(link.DeviceIndex, status));
    return false;
  }
  port.CheckEeprom(true);
  if (port.EepromChanged != 0) {
    // The adapter has been re-programmed and is re-enumerating: its handle is dead.
    port.Close();
    ShowMessage(link.Boxes, msg::kDeviceUpgraded, BoxKind::Error);
    return false;
  }
  PrepareConversation(port, UsesFastTransfer(link) ? TransferMode::kFast : TransferMode::kPaced);
  return true;
}

std::size_t BytesReceived(const ComAccess& port, std::size_t requested) {
  return std::min<std::size_t>(port.BytesRead, requested);
}

void AppendAsString(std::span<std::uint8_t> area, std::size_t offset,
                    std::span<const std::uint8_t> chunk) {
  if (offset >= area.size()) {
    return;
  }
  const std::size_t count = std::min(chunk.size(), area.size() - offset);
  bool ended = false;
  for (std::size_t i = 0; i < count; ++i) {
    ended = ended || chunk[i] == 0;
    area[offset + i] = ended ? 0 : chunk[i];
  }
}

std::string_view TextUpToZero(std::span<const std::uint8_t> area) {
  const auto end = std::find(area.begin(), area.end(), std::uint8_t{0});
  return std::string_view(reinterpret_cast<const char*>(area.data()),
                          static_cast<std::size_t>(end - area.begin()));
}

}  // namespace klxr
