#include "link/log_download.h"

#include <algorithm>

#include "link/meter_frame.h"
#include "link/reply_completion.h"
#include "resources/command_ids.h"

namespace klxr {
namespace {

constexpr int kReplyExaminedAbove = 5;     // a reply is examined once more bytes than this are in
constexpr int kIdleTickLimit = 10;         // the 11th tick without a stored record fails
constexpr int kEndOfLogPayloadLength = 3;  // the meter has no record left
constexpr std::uint32_t kPauseAfterLogMs = 200;
constexpr std::uint32_t kPauseAfterEndMs = 100;
// Fast transfer keeps the same limits as durations: the pauses, and for each "GET" the time its
// ten reads would wait.
constexpr std::int64_t kMicrosPerMs = 1000;
constexpr std::int64_t kLogAnswerAllowedUs = kPauseAfterLogMs * kMicrosPerMs;
constexpr std::int64_t kPauseAfterEndUs = kPauseAfterEndMs * kMicrosPerMs;
constexpr std::int64_t kReplyAllowedUs = kIdleTickLimit * kMeterReadTimeoutMs * kMicrosPerMs;

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

// Fast transfer: the download enters a phase, whose wait starts now.
void EnterPhase(MeterLink& link, DownloadPhase phase) {
  link.Download.Phase = phase;
  link.Download.PhaseStarted = link.Now();
  link.Download.ReplyExaminedAt = -1;
}

std::int64_t PhaseElapsed(const MeterLink& link) {
  return link.Now() - link.Download.PhaseStarted;
}

// Whatever the meter answered to "LOG" is thrown away unread; then the first "GET".
void AskForFirstRecord(ComAccess& port) {
  port.PurgeRx();
  port.PurgeTx();
  SendFrame(port, kGetCommand);
}

// Closes the log conversation: "END", the pause, and View enabled when records arrived. In fast
// transfer the pause passes in the steps that follow, and View waits for its end.
void EndLogConversation(MeterLink& link, DownloadWindow* window) {
  SendFrame(*link.SharedPort, kEndCommand);
  if (UsesFastTransfer(link)) {
    EnterPhase(link, DownloadPhase::kEndingLog);
    return;
  }
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
// Unpacks the reply collected so far and handles it. Returns false when the download failed.
bool JudgeReply(MeterLink& link, DownloadWindow* window) {
  DownloadState& state = link.Download;
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
  return JudgeReply(link, window);
}

// Fast transfer, waiting for the answer to "LOG": once it is in (its one byte) or its time is up,
// it is thrown away and the first record asked for.
void AwaitLogAnswer(MeterLink& link) {
  ComAccess& port = *link.SharedPort;
  const bool answered = port.QueueStatus() == d2xx::FT_OK && port.BytesWaiting > 0;
  if (!answered && PhaseElapsed(link) < kLogAnswerAllowedUs) {
    return;
  }
  AskForFirstRecord(port);
  EnterPhase(link, DownloadPhase::kAwaitingReply);
}

// Fast transfer: takes exactly the bytes the driver holds, so the read returns at once. False when
// a driver call failed.
bool TakeWaitingBytes(ComAccess& port, DownloadState& state) {
  if (port.QueueStatus() != d2xx::FT_OK) {
    return false;
  }
  const auto waiting = std::min<d2xx::DWORD>(port.BytesWaiting, kReadRequestSize);
  if (waiting == 0) {
    return true;
  }
  std::array<std::uint8_t, 128> readArea;
  if (port.Read(readArea.data(), waiting) != d2xx::FT_OK) {
    return false;
  }
  AppendToReply(state, readArea.data(), BytesReceived(port, waiting));
  return true;
}

// The end of the read time-out window, counted from the "GET", in which elapsed lies: a paced
// read examines what it has at such a moment.
std::int64_t ReadWindowEnd(std::int64_t elapsed) {
  const std::int64_t window = std::int64_t{kMeterReadTimeoutMs} * kMicrosPerMs;
  return (elapsed + window - 1) / window * window;
}

// Fast transfer, waiting for the reply to "GET": judged as soon as it is complete (and more than
// five bytes long, as a paced read requires). A reply that has passed five bytes but stays
// incomplete is judged, and so fails, where a paced read would have examined it: at the end of
// the read time-out window in which it passed five bytes. The download fails when no reply is
// judged in the time ten reads would wait, or after more than ten failed driver calls. Returns
// false when the download failed.
bool ReceiveReplyFast(MeterLink& link, DownloadWindow* window) {
  DownloadState& state = link.Download;
  if (PhaseElapsed(link) > kReplyAllowedUs) {
    FailDownload(link, window);
    return false;
  }
  if (!TakeWaitingBytes(*link.SharedPort, state)) {
    if (++state.IdleTicks > kIdleTickLimit) {
      FailDownload(link, window);
      return false;
    }
    return true;
  }
  const auto received = std::span<const std::uint8_t>(state.ReplyBuffer.data(),
                                                      static_cast<std::size_t>(state.ReplyLength));
  const bool full = received.size() == state.ReplyBuffer.size();
  if (state.ReplyLength <= kReplyExaminedAbove) {
    return true;
  }
  if (!full && !ReplyComplete(received)) {
    const std::int64_t elapsed = PhaseElapsed(link);
    if (state.ReplyExaminedAt < 0) {
      state.ReplyExaminedAt = ReadWindowEnd(elapsed);
    }
    if (elapsed < state.ReplyExaminedAt) {
      return true;
    }
  }
  if (!JudgeReply(link, window)) {
    return false;
  }
  if (state.Phase == DownloadPhase::kAwaitingReply) {
    EnterPhase(link, DownloadPhase::kAwaitingReply);  // the next "GET" has just gone out
  }
  return true;
}

// Fast transfer, in the pause after "END": once it has passed, View is enabled when records
// arrived and the log conversation is over.
void FinishEndPause(MeterLink& link, DownloadWindow* window) {
  if (PhaseElapsed(link) < kPauseAfterEndUs) {
    return;
  }
  if (link.Download.RecordsReceived > 0) {
    SetView(window, true);
  }
  link.Download.Phase = DownloadPhase::kLogEnded;
}

// One step of a fast download; it never waits. Returns false when the download failed.
bool FastDownloadStep(MeterLink& link, DownloadWindow* window) {
  switch (link.Download.Phase) {
    case DownloadPhase::kAwaitingLogAnswer:
      AwaitLogAnswer(link);
      return true;
    case DownloadPhase::kAwaitingReply:
      return ReceiveReplyFast(link, window);
    case DownloadPhase::kEndingLog:
      FinishEndPause(link, window);
      return true;
    case DownloadPhase::kLogEnded:
      break;
  }
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
  if (UsesFastTransfer(link)) {
    EnterPhase(link, DownloadPhase::kAwaitingLogAnswer);
  } else {
    link.Sleep(kPauseAfterLogMs);
    AskForFirstRecord(port);
  }
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
  const bool fast = UsesFastTransfer(link);
  if (fast) {
    if (!FastDownloadStep(link, window)) {
      return;
    }
  } else if (state.ProgressDone < state.ProgressTotal && !ReceiveReply(link, window)) {
    return;
  }
  if (state.ProgressDone == state.ProgressTotal &&
      (!fast || state.Phase == DownloadPhase::kLogEnded)) {
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

void EndDownload(MeterLink& link, DownloadWindow* window) {
  DownloadState& state = link.Download;
  const bool wasRunning = state.DownloadRunning;
  // "END" went out with the log's end (the end-of-log reply, or the last slot filled).
  const bool logEnded = state.ProgressDone == state.ProgressTotal;
  StopDownloadTimer(link, window);
  state.StepBusy = false;
  state.ReplyLength = 0;
  state.IdleTicks = 0;
  Repaint(window, true);
  if (link.SharedPort == nullptr) {
    return;
  }
  if (wasRunning && link.SharedPort->IsOpen()) {
    DrainInFlightReply(*link.SharedPort);
    if (!logEnded) {
      SendFrame(*link.SharedPort, kEndCommand);
      link.Sleep(kPauseAfterEndMs);
    }
  }
  link.SharedPort->Close();
}

}  // namespace klxr
