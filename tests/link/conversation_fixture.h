// The conversations with a meter under test: an in-process virtual bus on the virtual clock, the
// shared port over its driver table, a log image, recording message boxes and a recording main
// window, all wired into one fresh MeterLink.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/com_access.h"
#include "link/log_download.h"
#include "link/meter_link.h"
#include "resources/command_ids.h"
#include "support/recording_message_boxes.h"
#include "support/recording_window.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/scenario_parser.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr::testing {

using Lines = std::vector<std::string>;

// The command frames on the wire.
inline const std::string kLogFrame = "02 03 4C 4F 47 1A";
inline const std::string kGetFrame = "02 03 47 45 54 1C";
inline const std::string kEndFrame = "02 03 45 4E 44 25";
inline const std::string kEraseFrame = "02 05 45 52 41 53 45 8A";
inline const std::string kVersionFrame = "02 07 56 45 52 53 49 4F 4E D2";

// The driver calls that open a device on the meter's line, check its adapter (without a change)
// and prepare a conversation.
inline Lines OpeningCalls(int deviceIndex) {
  return {"FT_Open(" + std::to_string(deviceIndex) + ")",
          "FT_ClrDtr",
          "FT_SetBaudRate(115200)",
          "FT_SetDataCharacteristics(8,0,0)",
          "FT_SetFlowControl(0,0,0)",
          "FT_EE_Read",
          "FT_SetTimeouts(200,1000)",
          "FT_Purge(1)",
          "FT_Purge(2)"};
}

// The lines of first followed by those of second.
inline Lines Joined(Lines first, const Lines& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// The wire bytes of a frame carrying payload, as the transcript shows them.
inline std::string FrameHex(std::string_view payload) {
  return vm::HexBytes(vm::MakeFrame(payload));
}
inline std::string FrameHex(const vm::RecordBytes& record) {
  return vm::HexBytes(vm::MakeFrame(std::span<const std::uint8_t>(record)));
}
inline std::string Sent(const std::string& hex) {
  return "-> " + hex;
}
inline std::string Received(const std::string& hex) {
  return "<- " + hex;
}
// A positive reply: ACK and the frame.
inline std::string AckAnd(const std::string& frameHex) {
  return Received("06 " + frameHex);
}

// The boxes shown when exactly one box of this catalogue entry and kind was shown.
inline std::vector<RecordedBox> OneBox(int index, BoxKind kind) {
  return {{index, LoadText(index), kind}};
}

// A bus from scenario text (virtual clock); the test fails when the text does not parse.
inline vm::BusConfig Scenario(std::string_view text) {
  vm::ParsedConfig parsed = vm::ParseScenario(text);
  EXPECT_TRUE(parsed.Ok()) << (parsed.errors.empty() ? "" : parsed.errors.front());
  parsed.config.clock = vm::ClockKind::kVirtual;
  return std::move(parsed.config);
}

inline vm::BusConfig MeterWith(int recordCount) {
  return vm::OneMeter(vm::GeneratedRecords(recordCount));
}

// A recording main window that also notes the progress the bar would show at each repaint.
class ProgressWindow : public RecordingWindow {
 public:
  explicit ProgressWindow(const DownloadState& state) : state_(state) {}
  void RequestRepaint(bool eraseBackground) override {
    shown.push_back(state_.ProgressShown);
    RecordingWindow::RequestRepaint(eraseBackground);
  }
  std::vector<int> shown;

 private:
  const DownloadState& state_;
};

class Conversation {
 public:
  explicit Conversation(vm::BusConfig config) : bus(std::move(config)) {
    link.DriverLibrary = &driver;
    link.SharedPort = &port;
    link.Sleep = bus.SleepFunction();
  }

  // Ticks the download timer for as long as it is set, at most maxTicks times; returns the ticks.
  int RunTimer(int maxTicks = 20000) {
    int ticks = 0;
    while (window.timers.count(cmd::kDownloadTimerId) != 0 && ticks < maxTicks) {
      DownloadStep(link, &window);
      ++ticks;
    }
    return ticks;
  }

  // The Read command, run to its end.
  int Download() {
    StartDownload(link, &window);
    return RunTimer();
  }

  // The wire log from the first entry that contains needle on.
  std::vector<std::string> WireFrom(std::string_view needle) const {
    const std::vector<std::string> wire = bus.WireLog();
    for (std::size_t i = 0; i < wire.size(); ++i) {
      if (wire[i].find(needle) != std::string::npos) {
        return std::vector<std::string>(wire.begin() + static_cast<std::ptrdiff_t>(i), wire.end());
      }
    }
    return {};
  }

  vm::VirtualBus bus;
  d2xx::D2xxFunctions driver = vm::VirtualBus::Functions();
  ComAccess port{driver};
  LogImage image;
  RecordingMessageBoxes boxes;
  MeterLink link{image, boxes};
  ProgressWindow window{link.Download};
};

}  // namespace klxr::testing
