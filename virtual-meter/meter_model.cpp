#include "virtual-meter/meter_model.h"

#include <algorithm>
#include <vector>

namespace klxr::vm {
namespace {

Bytes ToBytes(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

ReplyPlan Nak(Micros delayUs) {
  return ReplyPlan{Bytes{kNak}, delayUs};
}

// Builds the answer from an outcome, changed by the faults that apply to it.
ReplyPlan Render(std::optional<Bytes> payload, Micros delayUs,
                 const std::vector<const FaultRule*>& faults) {
  bool badChecksum = false;
  bool garbled = false;
  ReplyPlan plan;
  plan.delayUs = delayUs;
  for (const FaultRule* fault : faults) {
    switch (fault->kind) {
      case FaultKind::kBadChecksum:
        badChecksum = true;
        break;
      case FaultKind::kShortPayload:
        if (payload && static_cast<std::size_t>(fault->payloadBytes) < payload->size()) {
          payload->resize(static_cast<std::size_t>(fault->payloadBytes));
        }
        break;
      case FaultKind::kGarbledFirst:
        garbled = true;
        break;
      case FaultKind::kSlow:
        plan.delayUs += fault->delayUs;
        break;
      case FaultKind::kSplit:
        plan.splitAfter = static_cast<std::size_t>(fault->splitAfterBytes);
        plan.splitGapUs = fault->delayUs;
        break;
      case FaultKind::kSilence:
      case FaultKind::kNak:
        break;
    }
  }
  plan.bytes.push_back(kAck);
  if (payload) {
    Bytes frame = MakeFrame(std::span<const std::uint8_t>(*payload));
    if (badChecksum) {
      frame.back() = static_cast<std::uint8_t>(~frame.back());
    }
    plan.bytes.insert(plan.bytes.end(), frame.begin(), frame.end());
  }
  if (garbled && !plan.bytes.empty()) {
    plan.bytes[0] ^= 0x80;
  }
  if (plan.splitAfter >= plan.bytes.size()) {
    plan.splitAfter = 0;
  }
  return plan;
}

}  // namespace

MeterModel::MeterModel(MeterConfig config) : config_(std::move(config)) {}

int MeterModel::Occurrences(std::string_view word) const {
  const auto found = occurrences_.find(word);
  return found == occurrences_.end() ? 0 : found->second;
}

std::optional<ReplyPlan> MeterModel::Receive(std::uint8_t byte) {
  switch (reader_.Feed(byte)) {
    case CommandFrameReader::Result::kIncomplete:
      return std::nullopt;
    case CommandFrameReader::Result::kBadChecksum:
      return Nak(config_.processingUs);
    case CommandFrameReader::Result::kFrame:
      return Answer(reader_.Payload());
  }
  return std::nullopt;
}

std::optional<ReplyPlan> MeterModel::Answer(const Bytes& payload) {
  const std::string word(payload.begin(), payload.end());
  const int occurrence = ++occurrences_[word];
  std::vector<const FaultRule*> faults;
  for (const FaultRule& rule : config_.faults) {
    if (rule.Matches(word, occurrence)) {
      faults.push_back(&rule);
    }
  }
  const auto has = [&faults](FaultKind kind) {
    return std::any_of(faults.begin(), faults.end(),
                       [kind](const FaultRule* rule) { return rule->kind == kind; });
  };
  if (has(FaultKind::kSilence)) {
    return std::nullopt;
  }
  if (has(FaultKind::kNak)) {
    return Nak(config_.processingUs);
  }
  Outcome outcome = Perform(word);
  if (!outcome.answers) {
    return std::nullopt;
  }
  if (outcome.refused) {
    return Nak(config_.processingUs);
  }
  return Render(std::move(outcome.payload), config_.processingUs + outcome.delayUs, faults);
}

MeterModel::Outcome MeterModel::Perform(std::string_view word) {
  Outcome outcome;
  if (word == "LOG") {
    inLog_ = true;
    nextRecord_ = 0;
  } else if (word == "GET" && inLog_) {
    if (nextRecord_ < config_.records.size()) {
      const RecordBytes& record = config_.records[nextRecord_++];
      outcome.payload = Bytes(record.begin(), record.end());
    } else {
      outcome.payload = ToBytes(kEndOfLogPayload);
    }
  } else if (word == "END") {
    inLog_ = false;
    outcome.answers = false;
  } else if (word == "ERASE") {
    config_.records.clear();
    nextRecord_ = 0;
    outcome.payload = ToBytes(kEraseConfirmation);
    outcome.delayUs = config_.eraseUs;
  } else if (word == "VERSION") {
    outcome.payload = ToBytes(config_.versionText);
  } else {
    // Unknown commands, and "GET" outside a log conversation, are refused.
    outcome.refused = true;
  }
  return outcome;
}

}  // namespace klxr::vm
