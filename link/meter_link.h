// What the three conversations with a meter (log download, log erase, meter discovery) work in: the
// loaded driver, the shared port, the log image, the message boxes, the sleep function and the
// state of the log download. The desktop program owns one MeterLink for its whole run and hands it
// to each command; a test makes a fresh one, so every test starts from a clean state.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/com_access.h"
#include "link/d2xx_api.h"
#include "link/pause.h"
#include "log/log_image.h"
#include "resources/message_catalogue.h"

namespace klxr {

// Every read of a conversation asks for this many bytes.
inline constexpr std::uint32_t kReadRequestSize = 100;

// How the conversations wait for the meter. Fast: a download step never blocks; it takes what the
// driver has received and acts the moment a reply is complete, and every limit is a duration on
// the link's clock. Paced: every read asks for 100 bytes and waits up to the read time-out, limits
// are counted in reads, and the pauses after "LOG" and "END" are sleeps. Both put the same bytes
// on the wire. Fast transfer needs the driver's optional functions; without them it is paced.
enum class TransferMode { kFast, kPaced };

// Where a fast download stands: waiting out the answer to "LOG", waiting for the reply to "GET",
// in the pause after "END", or done with the log conversation.
enum class DownloadPhase { kAwaitingLogAnswer, kAwaitingReply, kEndingLog, kLogEnded };

// The state of the log download, kept between the ticks of the download timer.
struct DownloadState {
  bool DownloadRunning = false;  // a download is in progress: its timer runs
  bool StepBusy = false;         // a DownloadStep runs; keeps nested ticks out
  int ProgressDone = 0;          // records fetched so far; ProgressTotal once the log has ended
  int ProgressShown = 0;         // what the progress bar shows, out of ProgressTotal
  int ProgressTotal = 0;         // full scale of the bar: the number of slots of the log image
  int RecordsReceived = 0;       // records stored; also the next free slot of the log image
  std::array<std::uint8_t, 128> ReplyBuffer{};  // the current reply, in order of arrival
  int ReplyLength = 0;                          // bytes collected in ReplyBuffer
  int IdleTicks = 0;  // ticks since the last stored record, or since the start
  // Fast transfer only: the phase, and when its wait began on the link's clock (microseconds).
  // IdleTicks then counts failed driver calls instead of ticks.
  DownloadPhase Phase = DownloadPhase::kAwaitingReply;
  std::int64_t PhaseStarted = 0;
  // Fast transfer: when, counted from PhaseStarted, an incomplete reply of more than five bytes is
  // examined all the same; -1 while none is pending.
  std::int64_t ReplyExaminedAt = -1;
};

struct MeterLink {
  MeterLink(LogImage& image, MessageBoxes& boxes) : Image(image), Boxes(boxes) {}

  // The loaded driver's functions; null when no driver library is loaded.
  const d2xx::D2xxFunctions* DriverLibrary = nullptr;
  // The one port the download and the erase use, owned by the application; null when there is
  // none, and then neither conversation touches the meter.
  ComAccess* SharedPort = nullptr;
  // The driver's index of the device the download and the erase open: the first one unless the
  // user picked another.
  std::int32_t DeviceIndex = 0;
  LogImage& Image;
  MessageBoxes& Boxes;
  SleepFunction Sleep = SleepMilliseconds;
  ClockFunction Now = SteadyMicroseconds;
  // The mode asked for; see UsesFastTransfer for the one in force.
  TransferMode Transfer = TransferMode::kFast;
  DownloadState Download;
};

// True when the conversations transfer fast: it is asked for and the driver has the functions.
bool UsesFastTransfer(const MeterLink& link);

// The adapter's latency timer during a fast conversation: the last bytes of a reply leave the chip
// at most this long after they arrived.
inline constexpr std::uint8_t kFastLatencyTimerMs = 2;

// Opens the device at this index on the meter's line: 115200 baud, 8 data bits, 1 stop bit, no
// parity, no flow control, DTR low. Returns the status of OpenAndConfigure.
d2xx::FT_STATUS OpenMeterLine(ComAccess& port, std::int32_t deviceIndex);

// Sets the conversation's time-outs (read 200 ms, write 1000 ms) and discards whatever the driver
// still holds in both directions. For fast transfer it first sets the latency timer to 2 ms.
void PrepareConversation(ComAccess& port, TransferMode mode = TransferMode::kPaced);

// The first steps of the download and the erase on the shared port: closes it, opens the device at
// DeviceIndex on the meter's line, runs the adapter EEPROM check with programming and prepares the
// conversation. On failure shows the reason and returns false: "USB Port Error" when the port
// cannot be opened (with the lead's situation as its detail) or there is no shared port, the
// re-plug message when the adapter was re-programmed (the port is then closed).
bool OpenSharedPortForConversation(MeterLink& link);

// The count of bytes the last Read of the port delivered, never more than it asked for.
std::size_t BytesReceived(const ComAccess& port, std::size_t requested);

// Appends chunk to area at offset as a length-bounded string copy: the bytes after the chunk's
// first zero byte arrive as zeros. Nothing is written past the end of area.
void AppendAsString(std::span<std::uint8_t> area, std::size_t offset,
                    std::span<const std::uint8_t> chunk);

// The 8-bit text in area up to its first zero byte (the whole area when it holds none).
std::string_view TextUpToZero(std::span<const std::uint8_t> area);

}  // namespace klxr
