#include "link/log_erase.h"

#include <algorithm>

#include "link/answer_wait.h"
#include "link/log_download.h"
#include "link/meter_frame.h"

namespace klxr {
namespace {

constexpr int kLogAnswerReads = 5;
constexpr int kEraseAnswerReads = 50;
constexpr std::size_t kEraseAnswerLength = 11;  // ACK and the frame carrying "SUCCESS"
constexpr std::uint32_t kPauseAfterEndMs = 100;

// Up to 10 bytes already collected plus one full read.
using ReplyArea = std::array<std::uint8_t, 110>;

struct Collected {
  std::size_t count = 0;
  bool readFailed = false;
};

// Collects one answer into the reply area from its start, for at most maxReads reads, until
// enough(count, reply) holds before a read.
template <typename Enough>
Collected CollectAnswer(ComAccess& port, ReplyArea& reply, int maxReads, Enough enough) {
  Collected collected;
  std::array<std::uint8_t, 128> readArea{};
  for (int read = 0; read < maxReads; ++read) {
    if (enough(collected.count, reply)) {
      break;
    }
    if (port.Read(readArea.data(), kReadRequestSize) != d2xx::FT_OK) {
      collected.readFailed = true;
      break;
    }
    const std::size_t received = BytesReceived(port, kReadRequestSize);
    AppendAsString(reply, collected.count, std::span(readArea.data(), received));
    collected.count += received;
  }
  return collected;
}

// Collects one answer as the link transfers: paced, in at most maxReads reads; fast, for as long as
// those reads would wait, ending as soon as the answer is enough.
template <typename Enough>
Collected Collect(MeterLink& link, ReplyArea& reply, int maxReads, Enough enough) {
  if (!UsesFastTransfer(link)) {
    return CollectAnswer(*link.SharedPort, reply, maxReads, enough);
  }
  const std::int64_t allowedUs = std::int64_t{maxReads} * kMeterReadTimeoutMs * 1000;
  const CollectedAnswer answer = CollectAnswerFast(
      *link.SharedPort, reply, allowedUs, [&](std::size_t count) { return enough(count, reply); },
      link.Sleep, link.Now);
  return {answer.count, answer.readFailed};
}

// The meter confirmed the erase: ACK and a good frame whose payload, read as a zero-terminated
// text, is exactly "SUCCESS".
bool EraseConfirmed(const ReplyArea& reply, const Collected& answer) {
  if (answer.count == 0 || answer.readFailed || reply[0] != ACK) {
    return false;
  }
  std::array<std::uint8_t, kUnpackAreaSize> payload;
  const int available = static_cast<int>(std::min(answer.count, reply.size())) - 1;
  if (UnpackFrame(reply.data() + 1, available, payload) < 0) {
    return false;
  }
  return TextUpToZero(payload) ==
         std::string_view(reinterpret_cast<const char*>(kEraseSuccessReply.data()),
                          kEraseSuccessReply.size());
}

}  // namespace

void EraseMeterLog(MeterLink& link, DownloadWindow* window) {
  if (link.Download.DownloadRunning) {
    AbandonDownload(link, window);
  }
  if (!OpenSharedPortForConversation(link)) {
    return;
  }
  ComAccess& port = *link.SharedPort;
  ReplyArea reply{};

  SendFrame(port, kLogCommand);
  const Collected logAnswer = Collect(
      link, reply, kLogAnswerReads, [](std::size_t count, const ReplyArea&) { return count >= 1; });
  if (logAnswer.count > 0 && !logAnswer.readFailed && reply[0] != ACK) {
    port.Close();
    ShowMessage(link.Boxes, msg::kHandshakeNotReceived, BoxKind::Error);
    return;
  }

  SendFrame(port, kEraseCommand);
  const Collected eraseAnswer =
      Collect(link, reply, kEraseAnswerReads, [](std::size_t count, const ReplyArea& area) {
        return area[0] == NAK || count >= kEraseAnswerLength;
      });
  if (EraseConfirmed(reply, eraseAnswer)) {
    ShowMessage(link.Boxes, msg::kLogErased, BoxKind::Plain);
  }

  SendFrame(port, kEndCommand);
  link.Sleep(kPauseAfterEndMs);
  port.Close();
}

}  // namespace klxr
