#include "log/survey_compare.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <string>
#include <type_traits>
#include <utility>

namespace klxr {
namespace {

// The meter's smallest BER step: one error counted.
constexpr double kBerStep = 1e-8;

// Values are compared in hundredths of a dB and thousandths of a decade, as whole numbers, so
// that a change exactly at the threshold is never beyond it by a rounding error.
long long Hundredths(double value) {
  return std::llround(value * 100.0);
}

long long Thousandths(double value) {
  return std::llround(value * 1000.0);
}

ValueChange DecibelChange(const Measurement& before, const Measurement& after) {
  ValueChange change{before.value, after.value, std::nullopt};
  if (before.value && after.value) {
    change.change = static_cast<double>(Hundredths(*after.value) - Hundredths(*before.value)) / 100;
  }
  return change;
}

ValueChange BerChange(const std::optional<double>& before, const std::optional<double>& after) {
  ValueChange change{before, after, std::nullopt};
  if (before && after) {
    const double decades =
        std::log10(std::max(*after, kBerStep)) - std::log10(std::max(*before, kBerStep));
    change.change = static_cast<double>(Thousandths(decades)) / 1000;
  }
  return change;
}

// -1 worse, +1 better, 0 within the threshold, for a value where higher is better.
int Direction(const std::optional<double>& change, double threshold, long long (*scale)(double)) {
  if (!change) {
    return 0;
  }
  const long long step = scale(*change);
  const long long limit = scale(threshold);
  return step < -limit ? -1 : (step > limit ? 1 : 0);
}

Verdict JudgePair(const ChannelComparison& pair, const CompareThresholds& thresholds) {
  const int statusBefore = StatusRank(pair.before->status);
  const int statusAfter = StatusRank(pair.after->status);
  const int directions[] = {
      Direction(pair.level.change, thresholds.levelDb, Hundredths),
      Direction(pair.carrierToNoise.change, thresholds.levelDb, Hundredths),
      Direction(pair.mer.change, thresholds.levelDb, Hundredths),
      // A rising BER is worse.
      -Direction(pair.ber.change, thresholds.berDecades, Thousandths),
      statusBefore < 0 || statusAfter < 0
          ? 0
          : (statusAfter > statusBefore) - (statusAfter < statusBefore),
  };
  if (std::find(std::begin(directions), std::end(directions), -1) != std::end(directions)) {
    return Verdict::Worse;
  }
  if (std::find(std::begin(directions), std::end(directions), 1) != std::end(directions)) {
    return Verdict::Better;
  }
  return Verdict::Unchanged;
}

ChannelComparison MakePair(const RecordValues& before, const RecordValues& after,
                           ChannelMatch match, const CompareThresholds& thresholds) {
  ChannelComparison pair;
  pair.match = match;
  pair.before = before;
  pair.after = after;
  pair.level = DecibelChange(before.level, after.level);
  pair.carrierToNoise = DecibelChange(before.carrierToNoise, after.carrierToNoise);
  pair.mer = DecibelChange(before.mer, after.mer);
  pair.ber = BerChange(before.ber, after.ber);
  pair.verdict = JudgePair(pair, thresholds);
  return pair;
}

ChannelComparison MakeSingle(const RecordValues& record, bool isBefore) {
  ChannelComparison single;
  single.match = isBefore ? ChannelMatch::OnlyBefore : ChannelMatch::OnlyAfter;
  single.verdict = isBefore ? Verdict::OnlyBefore : Verdict::OnlyAfter;
  (isBefore ? single.before : single.after) = record;
  const auto put = [isBefore](ValueChange& change, const std::optional<double>& value) {
    (isBefore ? change.before : change.after) = value;
  };
  put(single.level, record.level.value);
  put(single.carrierToNoise, record.carrierToNoise.value);
  put(single.mer, record.mer.value);
  put(single.ber, record.ber);
  return single;
}

// Pairs the unpaired records of after with unpaired records of before that have the same key,
// each before record at most once, in log order; an empty key (0, "") pairs nothing.
// pairedBefore[i] and pairedAfter[j] hold the index of the other side of a pair, or -1.
template <typename KeyOf>
void PairBy(const std::vector<RecordValues>& before, const std::vector<RecordValues>& after,
            KeyOf keyOf, std::vector<int>& pairedBefore, std::vector<int>& pairedAfter) {
  using Key = std::decay_t<decltype(keyOf(std::declval<const RecordValues&>()))>;
  std::map<Key, std::deque<int>> waiting;
  for (int i = 0; i < static_cast<int>(before.size()); ++i) {
    if (pairedBefore[i] < 0 && keyOf(before[i]) != Key{}) {
      waiting[keyOf(before[i])].push_back(i);
    }
  }
  for (int j = 0; j < static_cast<int>(after.size()); ++j) {
    if (pairedAfter[j] >= 0 || keyOf(after[j]) == Key{}) {
      continue;
    }
    const auto found = waiting.find(keyOf(after[j]));
    if (found != waiting.end() && !found->second.empty()) {
      pairedAfter[j] = found->second.front();
      pairedBefore[found->second.front()] = j;
      found->second.pop_front();
    }
  }
}

std::uint32_t FrequencyOf(const ChannelComparison& channel) {
  return channel.before ? channel.before->frequencyKhz : channel.after->frequencyKhz;
}

void Count(SurveyComparison& comparison, Verdict verdict) {
  switch (verdict) {
    case Verdict::Unchanged:
      ++comparison.unchanged;
      break;
    case Verdict::Better:
      ++comparison.better;
      break;
    case Verdict::Worse:
      ++comparison.worse;
      break;
    case Verdict::OnlyBefore:
      ++comparison.onlyBefore;
      break;
    case Verdict::OnlyAfter:
      ++comparison.onlyAfter;
      break;
  }
}

}  // namespace

int StatusRank(const std::string& status) {
  static const std::map<std::string, int, std::less<>> kRanks{
      {"FAIL", 0}, {"POOR", 1}, {"MARGINAL", 2}, {"PASS", 3}};
  const auto found = kRanks.find(status);
  return found == kRanks.end() ? -1 : found->second;
}

SurveyComparison CompareSurveys(const std::vector<RecordValues>& before,
                                const std::vector<RecordValues>& after,
                                const CompareThresholds& thresholds) {
  std::vector<int> pairedBefore(before.size(), -1);
  std::vector<int> pairedAfter(after.size(), -1);
  // Frequency 0 and an empty name match nothing.
  PairBy(
      before, after, [](const RecordValues& r) { return r.frequencyKhz; }, pairedBefore,
      pairedAfter);
  std::vector<int> byFrequency = pairedAfter;
  PairBy(
      before, after, [](const RecordValues& r) { return r.channel; }, pairedBefore, pairedAfter);

  SurveyComparison comparison;
  comparison.thresholds = thresholds;
  for (std::size_t j = 0; j < after.size(); ++j) {
    if (pairedAfter[j] >= 0) {
      const ChannelMatch match =
          byFrequency[j] >= 0 ? ChannelMatch::Frequency : ChannelMatch::Channel;
      comparison.channels.push_back(MakePair(before[pairedAfter[j]], after[j], match, thresholds));
    } else {
      comparison.channels.push_back(MakeSingle(after[j], false));
    }
  }
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (pairedBefore[i] < 0) {
      comparison.channels.push_back(MakeSingle(before[i], true));
    }
  }
  std::stable_sort(comparison.channels.begin(), comparison.channels.end(),
                   [](const ChannelComparison& a, const ChannelComparison& b) {
                     return FrequencyOf(a) < FrequencyOf(b);
                   });
  for (const ChannelComparison& channel : comparison.channels) {
    Count(comparison, channel.verdict);
  }
  return comparison;
}

}  // namespace klxr
