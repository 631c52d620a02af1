#include "cli/read_progress.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace klxr::cli {
namespace {

constexpr int kNarrowestBar = 10;
constexpr int kWidestBar = 40;
// A live line is redrawn at most this often, so that a fast transfer does not flood the terminal.
constexpr std::int64_t kRedrawIntervalUs = 100'000;
constexpr double kMicrosecondsPerSecond = 1e6;
constexpr std::string_view kUsualRate = ", 10.0/s, up to 2:40 left";
// Below this width the bar is dropped and the counts come first.
constexpr int kColumnsForTheBar = 60;

// "3:35", or "1:02:05" from an hour on.
std::string DurationText(std::int64_t seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  }
  return text;
}

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

bool LogEnded(const DownloadState& state) {
  return state.ProgressShown >= state.ProgressTotal;
}

// The line of a narrow terminal: the longest of ever shorter forms that fits in `room` characters,
// "records 784/1568 (50 %), 2.0/s, 6:32 left" down to "784/1568"; cut when not even that fits.
std::string NarrowProgressText(const DownloadState& state, const std::string& rate,
                               std::size_t room) {
  const int total = state.ProgressTotal > 0 ? state.ProgressTotal : 1;
  const std::string received = std::to_string(state.RecordsReceived);
  const std::string counts = received + "/" + std::to_string(state.ProgressTotal);
  const std::string percent =
      " (" + std::to_string(std::min(state.ProgressShown, total) * 100 / total) + " %)";
  const std::array<std::string, 4> forms =
      LogEnded(state)
          ? std::array<std::string, 4>{received + " records, end of log", received + " records",
                                       received, received}
          : std::array<std::string, 4>{"records " + counts + percent + rate,
                                       "records " + counts + percent, counts + percent, counts};
  for (const std::string& form : forms) {
    if (form.size() <= room) {
      return form;
    }
  }
  return forms.back().substr(0, room);
}

}  // namespace

void ProgressLine::Draw(const std::string& text, int columns) {
  if (open_ && text == drawn_ && !erase_) {
    return;
  }
  if (erase_) {
    // Erase in line: the blanks of a wider line would wrap on the narrower terminal.
    err_ << "\r\x1b[K";
    drawn_.clear();
    erase_ = false;
  }
  // Blanks cover the rest of a longer line drawn before.
  std::size_t cover = drawn_.size() > text.size() ? drawn_.size() - text.size() : 0;
  if (columns > 0) {
    cover = std::min(cover, static_cast<std::size_t>(
                                std::max<int>(columns - 1 - static_cast<int>(text.size()), 0)));
  }
  err_ << '\r' << text << std::string(cover, ' ') << std::flush;
  drawn_ = text;
  open_ = true;
}

void ProgressLine::End() {
  if (open_) {
    err_ << '\n' << std::flush;
  }
  open_ = false;
  drawn_.clear();
}

std::string ProgressText(const DownloadState& state, int barWidth) {
  const int total = state.ProgressTotal > 0 ? state.ProgressTotal : 1;
  const int filled = std::min(state.ProgressShown, total) * barWidth / total;
  std::string text = "Reading the meter log [" +
                     std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(barWidth - filled), ' ') + "] ";
  if (LogEnded(state)) {
    return text + std::to_string(state.RecordsReceived) + " records, end of log";
  }
  return text + std::to_string(state.RecordsReceived) + " of " +
         std::to_string(state.ProgressTotal) + " records";
}

std::string LiveProgressText(const DownloadState& state, std::int64_t elapsedMicroseconds,
                             int columns) {
  std::string rate;
  std::string shortRate;
  if (!LogEnded(state) && state.RecordsReceived > 0 && elapsedMicroseconds > 0) {
    const double perSecond =
        state.RecordsReceived / (static_cast<double>(elapsedMicroseconds) / kMicrosecondsPerSecond);
    const int left = state.ProgressTotal - state.RecordsReceived;
    const auto secondsLeft = static_cast<std::int64_t>(left / perSecond + 0.5);
    shortRate = ", " + OneDecimal(perSecond) + "/s, " + DurationText(secondsLeft) + " left";
    rate = ", " + OneDecimal(perSecond) + "/s, up to " + DurationText(secondsLeft) + " left";
  }
  if (columns <= 0) {
    return ProgressText(state, kWidestBar) + rate;
  }
  // The last column is left free, so that the terminal never wraps the line.
  const auto room = static_cast<std::size_t>(columns - 1);
  if (columns < kColumnsForTheBar) {
    return NarrowProgressText(state, shortRate, room);
  }
  // The bar is sized for the running line with a rate of the usual length, so that it keeps its
  // width when the rate comes and goes.
  DownloadState running = state;
  running.ProgressShown = std::min(state.ProgressShown, state.ProgressTotal - 1);
  const auto withoutBar = static_cast<int>(ProgressText(running, 0).size() + kUsualRate.size());
  const int barWidth = std::clamp(columns - 1 - withoutBar, kNarrowestBar, kWidestBar);
  return (ProgressText(state, barWidth) + rate).substr(0, room);
}

std::string PlainProgressText(int records, int total) {
  const int percent = total > 0 ? records * 100 / total : 100;
  return "Reading the meter log: " + std::to_string(records) + " of " + std::to_string(total) +
         " records (" + std::to_string(percent) + " %)";
}

std::string SummaryText(int records, std::int64_t elapsedMicroseconds) {
  return std::to_string(records) + (records == 1 ? " record" : " records") + " read in " +
         OneDecimal(static_cast<double>(elapsedMicroseconds) / kMicrosecondsPerSecond) + " s";
}

ReadProgress::ReadProgress(std::ostream& err, ProgressStyle style, MicrosecondClock clock,
                           int columns, ResizedColumns resized)
    : err_(err),
      style_(style),
      clock_(std::move(clock)),
      columns_(columns),
      resized_(std::move(resized)),
      line_(err),
      start_(clock_()) {}

void ReadProgress::Update(const DownloadState& state) {
  if (style_ == ProgressStyle::kPlainLines) {
    UpdatePlain(state);
    return;
  }
  if (style_ != ProgressStyle::kLiveLine) {
    return;
  }
  const std::int64_t now = clock_();
  if (transferStart_ < 0) {
    transferStart_ = now;
  }
  if (lastDrawn_ >= 0 && now - lastDrawn_ < kRedrawIntervalUs && !LogEnded(state)) {
    return;
  }
  lastDrawn_ = now;
  if (resized_) {
    if (const int columns = resized_(); columns > 0) {
      columns_ = columns;
      line_.Resized();
    }
  }
  line_.Draw(LiveProgressText(state, now - transferStart_, columns_), columns_);
}

void ReadProgress::UpdatePlain(const DownloadState& state) {
  if (state.ProgressTotal <= 0 || LogEnded(state)) {
    return;
  }
  const int tenths = state.RecordsReceived * 10 / state.ProgressTotal;
  if (tenths > tenthsShown_) {
    tenthsShown_ = tenths;
    err_ << PlainProgressText(state.RecordsReceived, state.ProgressTotal) << "\n" << std::flush;
  }
}

void ReadProgress::Summarize(int records) {
  line_.End();
  err_ << SummaryText(records, Elapsed()) << "\n" << std::flush;
}

}  // namespace klxr::cli
