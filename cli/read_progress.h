// How "read" reports its progress on standard error. On a terminal one line is redrawn in place
// with the records, the rate and the time left; on a pipe or a file nothing is drawn, unless
// "--progress" asks for plain lines, one per tenth of the log's capacity. Every successful read
// ends with one summary line.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "link/meter_link.h"

namespace klxr::cli {

// Microseconds on a steady clock: the real one, or the virtual meter's in tests.
using MicrosecondClock = std::function<std::int64_t()>;

// The terminal's new width when it was resized since the last call; 0 when it was not.
using ResizedColumns = std::function<int()>;

enum class ProgressStyle {
  kNone,        // standard error is no terminal: nothing but the messages and the summary
  kLiveLine,    // standard error is a terminal: one line redrawn in place
  kPlainLines,  // "--progress": a plain line at each tenth of the capacity
};

// A line of the terminal that is redrawn in place until it is ended.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : err_(err) {}
  // Draws the text over the line drawn before; on a terminal of the given width (0: not known)
  // the blanks that cover a longer line never reach its last column.
  void Draw(const std::string& text, int columns = 0);
  // The terminal was resized and may have wrapped the line: the next Draw erases it whole.
  void Resized() { erase_ = true; }
  // Ends the line, so that what follows starts on a line of its own.
  void End();

 private:
  std::ostream& err_;
  std::string drawn_;
  bool open_ = false;
  bool erase_ = false;
};

// "Reading the meter log [####      ]  600 of 1568 records", or at the end of the log
// "Reading the meter log [##########] 40 records, end of log"; the bar barWidth characters wide.
std::string ProgressText(const DownloadState& state, int barWidth = 40);

// The live line: ProgressText, then while records arrive their rate and the time left until the
// log's capacity is reached (the meter may end its log sooner, hence "up to"):
// "... 600 of 1568 records, 4.5/s, up to 5:47 left". On a terminal of the given width (0: not
// known) the bar narrows, down to 10 characters, so that the line fits without wrapping, and a
// line that still does not fit is cut. Below 60 columns there is no bar: "records 784/1568 (50 %),
// 2.0/s, 6:32 left", or as much of it as fits, down to "784/1568".
std::string LiveProgressText(const DownloadState& state, std::int64_t elapsedMicroseconds,
                             int columns = 0);

// A plain line: "Reading the meter log: 157 of 1568 records (10 %)".
std::string PlainProgressText(int records, int total);

// The summary of a successful read: "40 records read in 8.4 s".
std::string SummaryText(int records, std::int64_t elapsedMicroseconds);

// The progress of one read, fed by the download's repaints.
class ReadProgress {
 public:
  // columns: the width of the terminal for a live line; 0 when it is not known. resized, when
  // given, is asked before each redraw of the live line.
  ReadProgress(std::ostream& err, ProgressStyle style, MicrosecondClock clock, int columns = 0,
               ResizedColumns resized = {});

  // The download's state changed while it runs.
  void Update(const DownloadState& state);
  // Ends a live line before anything else is written to standard error.
  void End() { line_.End(); }
  // Writes the summary line of a successful read.
  void Summarize(int records);
  std::int64_t Elapsed() const { return clock_() - start_; }

 private:
  void UpdatePlain(const DownloadState& state);

  std::ostream& err_;
  ProgressStyle style_;
  MicrosecondClock clock_;
  int columns_;
  ResizedColumns resized_;
  ProgressLine line_;
  std::int64_t start_ = 0;           // the read began: the summary counts from here
  std::int64_t transferStart_ = -1;  // the first "GET" went out: the rate counts from here
  std::int64_t lastDrawn_ = -1;      // when the live line was last drawn; -1 before the first time
  int tenthsShown_ = 0;              // plain lines written so far
};

}  // namespace klxr::cli
