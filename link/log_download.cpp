#include "link/log_download.h"

#include <algorithm>

#include "link/meter_frame.h"
#include "resources/command_ids.h"

namespace klxr {
namespace {

constexpr int kReplyExaminedAbove = 5;     // a reply is examined once more bytes than this are in
constexpr int kIdleTickLimit = 10;         // the 11th tick without a stored record fails
constexpr int kEndOfLogPayloadLength = 3;  // the meter has no record left
constexpr std::uint32_t kPauseAfterLogMs = 200;
constexpr std::uint32_t kPauseAfterEndMs = 100;

void Repaint(DownloadWindow* window, bool eraseBackground) {
  if (window != nullptr) {
    window->RequestRepaint(eraseBackground);
  }
}

void SetView(DownloadWindow* window, bool enabled) {
  if (window != nullptr) {
    window->SetViewEnabled(enabled);
  }
}

bool KillDownloadTimer(DownloadWindow* window) {
  return window != nullptr && window->KillTimer(cmd::kDownloadTimerId);
}

// Stores a record payload in its slot: its first 64 bytes, and zeros after a shorter payload.
void StoreRecord(LogImage& image, int slot, std::span<const std::uint8_t> payload, int length) {
  const std::span<std::uint8_t, kRecordSize> target = image.Slot(slot);
  const auto stored = static_cast<std::size_t>(std::min(length, kRecordSize));
  std::copy_n(payload.begin(), stored, target.begin());
  std::fill(target.begin() + static_cast<std::ptrdiff_t>(stored), target.end(), 0);
}

// Closes the log conversation: "END", the pause, and View enabled when records arrived.
void EndLogConversation(MeterLink& link, DownloadWindow* window) {
  SendFrame(*link.SharedPort, kEndCommand);
  link.Sleep(kPauseAfterEndMs);
  if (link.Download.RecordsReceived > 0) {
    SetView(window, true);
  }
}

// The download failed: the error box, then the timer stopped and the port closed. StepBusy stays
// set, so that no later tick gets in before the next StartDownload.
void FailDownload(MeterLink& link, DownloadWindow* window) {
  ShowMessage(link.Boxes, msg::kHandshakeNotReceived, BoxKind::Error);
  link.Download.DownloadRunning = false;
  KillDownloadTimer(window);
  Repaint(window, true);
  link.SharedPort->Close();
}

// Appends the bytes of one read to the reply, byte for byte.
void AppendToReply(DownloadState& state, const std::uint8_t* bytes, std::size_t count) {
  const auto room = state.ReplyBuffer.size() - static_cast<std::size_t>(state.ReplyLength);
  const std::size_t taken = std::min(count, room);
  std::copy_n(bytes, taken, state.ReplyBuffer.begin() + state.ReplyLength);
  state.ReplyLength += static_cast<int>(taken);
}

// A complete reply that checked out: acknowledges it, then takes the end of the log or stores the
// record and asks for the next one (or ends the log when the image is full).
void HandleReply(MeterLink& link, DownloadWindow* window, std::span<const std::uint8_t> payload,
                 int length) {
  DownloadState& state = link.Download;
  ComAccess& port = *link.SharedPort;
  port.Write(&ACK, 1);
  state.ProgressShown = state.ProgressDone;
  Repaint(window, false);
  if (length == kEndOfLogPayloadLength) {
    state.ProgressDone = state.ProgressTotal;
    EndLogConversation(link, window);
    return;
  }
  StoreRecord(link.Image, state.RecordsReceived, payload, length);
  ++state.RecordsReceived;
  state.IdleTicks = 0;
  state.ReplyLength = 0;
  if (state.RecordsReceived == kSlotCount) {
    EndLogConversation(link, window);
  } else {
    SendFrame(port, kGetCommand);
  }
  ++state.ProgressDone;
}

// Reads once and examines the reply when enough of it is in. Returns false when the download
// failed.
bool ReceiveReply(MeterLink& link, DownloadWindow* window) {
  DownloadState& state = link.Download;
  ComAccess& port = *link.SharedPort;
  std::array<std::uint8_t, 128> readArea;
  const bool readFailed = port.Read(readArea.data(), kReadRequestSize) != d2xx::FT_OK;
  if (!readFailed) {
    AppendToReply(state, readArea.data(), BytesReceived(port, kReadRequestSize));
  }
  if (++state.IdleTicks > kIdleTickLimit) {
    FailDownload(link, window);
    return false;
  }
  if (state.ReplyLength <= kReplyExaminedAbove || readFailed) {
    return true;
  }
  std::array<std::uint8_t, kUnpackAreaSize> payload;
  const int length = state.ReplyBuffer[0] != ACK ? -1
                                                 : UnpackFrame(state.ReplyBuffer.data() + 1,
                                                               state.ReplyLength - 1, payload);
  if (length < 0) {
    FailDownload(link, window);
    return false;
  }
  HandleReply(link, window, payload, length);
  return true;
}

// The whole log is in: the bar drawn full, "Transfer Complete!", then the timer stopped.
void CompleteDownload(MeterLink& link, DownloadWindow* window) {
  DownloadState& state = link.Download;
  state.ProgressShown = state.ProgressTotal;
  Repaint(window, true);
  ShowMessage(link.Boxes, msg::kTransferComplete, BoxKind::Information);
  state.DownloadRunning = false;
  KillDownloadTimer(window);
  Repaint(window, true);
}

// A download stopped from outside may have a reply still on its way: the meter answers the last
// "GET" whatever the host does next. One read with the port's time-out waits for it, and the
// receive purge drops whatever of it has come, so that the next conversation on the port does not
// take it for an answer of its own.
void DrainInFlightReply(ComAccess& port) {
  std::array<std::uint8_t, 128> readArea;
  port.Read(readArea.data(), kReadRequestSize);
  port.PurgeRx();
}

}  // namespace

void StartDownload(MeterLink& link, DownloadWindow* window) {
  if (link.DriverLibrary == nullptr) {
    ShowMessage(link.Boxes, msg::kInstallUsbDriverFirst, BoxKind::Error);
    return;
  }
  DownloadState& state = link.Download;
  link.Image.Clear();
  SetView(window, false);
  if (state.DownloadRunning && link.SharedPort != nullptr) {
    DrainInFlightReply(*link.SharedPort);
  }
  state.DownloadRunning = false;
  StopDownloadTimer(link, window);
  Repaint(window, true);
  state.ProgressTotal = kSlotCount;
  state.ProgressShown = 0;
  if (!OpenSharedPortForConversation(link)) {
    return;
  }
  ComAccess& port = *link.SharedPort;
  state.RecordsReceived = 0;
  state.ReplyBuffer.fill(0);
  state.IdleTicks = 0;
  state.ReplyLength = 0;
  SendFrame(port, kLogCommand);
  link.Sleep(kPauseAfterLogMs);
  // Whatever the meter answered to "LOG" is thrown away unread.
  port.PurgeRx();
  port.PurgeTx();
  SendFrame(port, kGetCommand);
  state.ProgressDone = 0;
  state.StepBusy = false;
  state.DownloadRunning = true;
  if (window != nullptr) {
    window->StartTimer(cmd::kDownloadTimerId, cmd::kDownloadTimerPeriodMs);
  }
}

void DownloadStep(MeterLink& link, DownloadWindow* window) {
  DownloadState& state = link.Download;
  if (!state.DownloadRunning || state.StepBusy || link.SharedPort == nullptr) {
    return;
  }
  state.StepBusy = true;
  if (state.ProgressDone < state.ProgressTotal && !ReceiveReply(link, window)) {
    return;
  }
  if (state.ProgressDone == state.ProgressTotal) {
    CompleteDownload(link, window);
  }
  state.StepBusy = false;
  if (!state.DownloadRunning) {
    Repaint(window, false);
    link.SharedPort->Close();
  }
}

bool StopDownloadTimer(MeterLink& link, DownloadWindow* window) {
  const bool wasRunning = KillDownloadTimer(window);
  link.Download.DownloadRunning = false;
  return wasRunning;
}

void AbandonDownload(MeterLink& link, DownloadWindow* window) {
  DownloadState& state = link.Download;
  const bool wasRunning = state.DownloadRunning;
  StopDownloadTimer(link, window);
  state.StepBusy = false;
  state.ReplyLength = 0;
  state.IdleTicks = 0;
  Repaint(window, true);
  if (link.SharedPort != nullptr) {
    if (wasRunning) {
      DrainInFlightReply(*link.SharedPort);
    }
    link.SharedPort->Close();
  }
}

}  // namespace klxr
