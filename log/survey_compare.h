// Two surveys of one site side by side: the log read before (A) and the log read after (B). Their
// channels are paired by frequency first, then the rest by channel name; each pair gives the level,
// C/N, MER and BER before and after with the change, the status before and after, and a verdict
// against the thresholds. Channels found in one log only are listed as such.
//
// Levels and ratios change by after minus before, in dB. The BER changes in decades
// (log10 of after / before): it spans orders of magnitude, and a decade reads as plainly as a dB
// does. A BER of 0 (no error counted) counts as the meter's smallest step, 1e-8, so that a clean
// channel that starts to show errors has a finite change. A value with a range mark compares by
// the meter's number.
#pragma once

#include <optional>
#include <vector>

#include "log/record_values.h"

namespace klxr {

struct CompareThresholds {
  double levelDb = 1.0;     // level, C/N, MER: a change of more than this many dB counts
  double berDecades = 1.0;  // BER: a change of more than this many decades (1: a factor 10) counts
};

enum class ChannelMatch { Frequency, Channel, OnlyBefore, OnlyAfter };
enum class Verdict { Unchanged, Better, Worse, OnlyBefore, OnlyAfter };

// One value before and after; the change when both are there.
struct ValueChange {
  std::optional<double> before;
  std::optional<double> after;
  std::optional<double> change;
};

struct ChannelComparison {
  ChannelMatch match = ChannelMatch::Frequency;
  std::optional<RecordValues> before;
  std::optional<RecordValues> after;
  ValueChange level;           // dBuV, change in dB
  ValueChange carrierToNoise;  // dB
  ValueChange mer;             // dB
  ValueChange ber;             // ratio, change in decades
  Verdict verdict = Verdict::Unchanged;
};

struct SurveyComparison {
  CompareThresholds thresholds;
  std::vector<ChannelComparison> channels;  // by frequency (the earlier survey's where both)
  int better = 0;
  int worse = 0;
  int unchanged = 0;
  int onlyBefore = 0;
  int onlyAfter = 0;
};

// Lower is worse: FAIL 0, POOR 1, MARGINAL 2, PASS 3; -1 for no status (analogue records).
int StatusRank(const std::string& status);

SurveyComparison CompareSurveys(const std::vector<RecordValues>& before,
                                const std::vector<RecordValues>& after,
                                const CompareThresholds& thresholds);

}  // namespace klxr
