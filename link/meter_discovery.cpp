#include "link/meter_discovery.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <new>

#include "link/answer_wait.h"
#include "link/meter_frame.h"
#include "link/reply_completion.h"

namespace klxr {
namespace {

constexpr int kVersionAnswerReads = 5;
// The wait may end once this many bytes are in, and does when they hold a whole frame.
constexpr std::size_t kVersionAnswerExaminedAt = 5;
// ACK, the frame's start byte and its length byte: what it takes to know how long the frame is.
constexpr std::size_t kReplyBytesBeforePayload = 3;
constexpr std::size_t kLongestReply = 1 + kFrameOverhead + (kUnpackAreaSize - 1);

// The longest answer (ACK and a frame carrying 127 bytes) less one byte, plus one read of 100.
using ReplyArea = std::array<std::uint8_t, kLongestReply - 1 + kReadRequestSize>;

// True while the reply is an ACK and the start of a frame whose length byte announces more bytes
// than have come. A reply that cannot become a good frame needs nothing more.
bool FrameStillComing(const ReplyArea& reply, std::size_t collected) {
  if (collected < kReplyBytesBeforePayload || reply[0] != ACK || reply[1] != STX ||
      reply[2] >= kUnpackAreaSize) {
    return false;
  }
  return collected < 1 + kFrameOverhead + reply[2];
}

// Whether the device can be opened at all (FT_OK), else the open's status; it is closed again at
// once.
d2xx::FT_STATUS ProbeDevice(const d2xx::D2xxFunctions& driver, int index) {
  d2xx::FT_HANDLE handle = nullptr;
  const d2xx::FT_STATUS status = driver.FT_Open(index, &handle);
  if (status == d2xx::FT_OK) {
    driver.FT_Close(handle);
  }
  return status;
}

// What a failed probe says about the device.
DeviceAnswer RefusalOf(d2xx::FT_STATUS status) {
  return status == d2xx::kOpenNotPermitted ? DeviceAnswer::kNotPermitted
                                           : DeviceAnswer::kCannotOpen;
}

// Collects the answer to "VERSION": at most 5 reads, until the first byte is NAK, or 5 bytes are
// in and the frame they begin is complete (a version text longer than 96 bytes needs two reads).
// Returns the count collected, or -1 when a read failed.
int CollectVersionAnswer(ComAccess& port, ReplyArea& reply) {
  std::array<std::uint8_t, 128> readArea{};
  std::size_t collected = 0;
  for (int read = 0; read < kVersionAnswerReads; ++read) {
    if (reply[0] == NAK ||
        (collected >= kVersionAnswerExaminedAt && !FrameStillComing(reply, collected))) {
      break;
    }
    if (port.Read(readArea.data(), kReadRequestSize) != d2xx::FT_OK) {
      return -1;
    }
    const std::size_t received = BytesReceived(port, kReadRequestSize);
    AppendAsString(reply, collected, std::span(readArea.data(), received));
    collected += received;
  }
  return static_cast<int>(collected);
}

// Fast transfer: collects the answer to "VERSION" for as long as its five reads would wait, ending
// as soon as it begins with NAK or is complete. Returns the count, or -1 when a driver call failed.
int CollectVersionAnswerFast(const MeterLink& link, ComAccess& port, ReplyArea& reply) {
  const std::int64_t allowedUs = std::int64_t{kVersionAnswerReads} * kMeterReadTimeoutMs * 1000;
  const CollectedAnswer answer = CollectAnswerFast(
      port, reply, allowedUs,
      [&reply](std::size_t count) {
        const std::size_t held = std::min(count, reply.size());
        return reply[0] == NAK || ReplyComplete(std::span(reply.data(), held));
      },
      link.Sleep, link.Now);
  return answer.readFailed ? -1 : static_cast<int>(answer.count);
}

// Asks one opened and checked device for its version. True when it answered with ACK and a good
// frame, whose payload and terminating zero are then in version.
bool AskVersion(const MeterLink& link, ComAccess& port,
                std::span<std::uint8_t, kUnpackAreaSize> version) {
  const bool fast = UsesFastTransfer(link);
  PrepareConversation(port, fast ? TransferMode::kFast : TransferMode::kPaced);
  ReplyArea reply{};
  SendFrame(port, kVersionCommand);
  const int collected =
      fast ? CollectVersionAnswerFast(link, port, reply) : CollectVersionAnswer(port, reply);
  if (collected <= 0 || reply[0] != ACK) {
    return false;
  }
  const int available = std::min(collected, static_cast<int>(reply.size())) - 1;
  return UnpackFrame(reply.data() + 1, available, version) >= 0;
}

// Tries one device on a temporary port of its own.
DeviceAnswer QueryDevice(const MeterLink& link, int index,
                         std::span<std::uint8_t, kUnpackAreaSize> version) {
  const d2xx::D2xxFunctions& driver = *link.DriverLibrary;
  const std::unique_ptr<ComAccess> port(new (std::nothrow) ComAccess(driver));
  if (port == nullptr) {
    return DeviceAnswer::kCannotOpen;
  }
  DeviceAnswer answer = DeviceAnswer::kCannotOpen;
  if (OpenMeterLine(*port, index) == d2xx::FT_OK) {
    port->CheckEeprom(false);
    if (port->EepromChanged != 0) {
      answer = DeviceAnswer::kAdapterDiffers;
    } else {
      answer = AskVersion(link, *port, version) ? DeviceAnswer::kMeter : DeviceAnswer::kSilent;
    }
  }
  port->Close();
  return answer;
}

}  // namespace

DeviceAnswer AskDeviceForVersion(const MeterLink& link, int index, std::string& versionText) {
  if (link.DriverLibrary == nullptr) {
    return DeviceAnswer::kCannotOpen;
  }
  if (const d2xx::FT_STATUS status = ProbeDevice(*link.DriverLibrary, index);
      status != d2xx::FT_OK) {
    return RefusalOf(status);
  }
  std::array<std::uint8_t, kUnpackAreaSize> version{};
  const DeviceAnswer answer = QueryDevice(link, index, version);
  if (answer == DeviceAnswer::kMeter) {
    versionText = TextUpToZero(version);
  }
  return answer;
}

int DiscoverMeters(const MeterLink& link, MeterList* list) {
  if (link.DriverLibrary == nullptr) {
    return 0;
  }
  const d2xx::D2xxFunctions& driver = *link.DriverLibrary;
  d2xx::DWORD deviceCount = 0;
  if (driver.FT_ListDevices(&deviceCount, nullptr, d2xx::FT_LIST_NUMBER_ONLY) != d2xx::FT_OK) {
    return 0;
  }
  const int devices = static_cast<int>(std::min<d2xx::DWORD>(deviceCount, INT_MAX));
  int found = 0;
  for (int index = 0; index < devices; ++index) {
    if (const d2xx::FT_STATUS status = ProbeDevice(driver, index); status != d2xx::FT_OK) {
      if (RefusalOf(status) == DeviceAnswer::kNotPermitted && list != nullptr) {
        list->AddNotPermitted(index);
      }
      continue;
    }
    // Any payload the frame codec delivers (up to 127 bytes) fits, with its terminating zero.
    std::array<std::uint8_t, kUnpackAreaSize> version{};
    if (QueryDevice(link, index, version) == DeviceAnswer::kMeter) {
      ++found;
      if (list != nullptr) {
        list->Add(TextUpToZero(version), index);
      }
    }
  }
  return found;
}

}  // namespace klxr
