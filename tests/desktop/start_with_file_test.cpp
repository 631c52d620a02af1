// A .tlg named on the command line loads at start as "&Load" loads it: the same image, View, title,
// origin and boxes as the Load command given the same file, and "+Q" silences what it silences.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "desktop/application.h"
#include "resources/command_ids.h"
#include "samples/sample_logs.h"
#include "support/bus_services.h"
#include "support/fake_desktop_shell.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;

// What a program started on the command line came to; with loadPath, after "&Load" of that file.
struct Outcome {
  std::vector<testing::RecordedBox> boxes;
  LogImage image;
  bool viewEnabled = false;
  LogOrigin origin;
  std::vector<std::string> titles;
  std::vector<std::string> dialogs;
};

Outcome StartProgram(const std::string& commandLine, const std::vector<std::string>& arguments,
                     const std::string& loadPath = {}) {
  vm::VirtualBus bus(vm::OneMeter({}));
  testing::FakeDesktopShell shell;
  testing::RecordingMessageBoxes boxes;
  Application app(shell, boxes, testing::BusServices(bus));
  EXPECT_TRUE(app.Start(commandLine, arguments));
  if (!loadPath.empty()) {
    shell.chooserAnswers.push_back(loadPath);
    app.Command(cmd::kLoad);
    shell.dialogs.clear();
  }
  return {boxes.boxes,
          app.State().Image,
          shell.window->recorded.viewEnabled,
          app.State().ImageOrigin,
          shell.window->titles,
          shell.dialogs};
}

TEST(StartWithFile, LoadsTheNamedLogAsLoadDoes) {
  const fs::path folder =
      fs::temp_directory_path() / ("klxr-start-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder / "with blanks");
  const std::string good = (folder / "with blanks" / "site 4.tlg").string();
  const LogImage log = samples::MakeRealisticLog(12, 5);
  std::ofstream(good, std::ios::binary)
      .write(reinterpret_cast<const char*>(log.bytes.data()),
             static_cast<std::streamsize>(log.bytes.size()));
  const std::string notALog = (folder / "short.tlg").string();
  std::ofstream(notALog) << "not a log";
  const std::string missing = (folder / "missing.tlg").string();

  const struct {
    const char* name;
    std::string commandLine;
    std::vector<std::string> arguments;
    std::string file;  // the file the arguments name
    bool loaded;
    bool boxShown;
  } cases[] = {
      {"a good log", good, {good}, good, true, false},
      {"after the switches", "+Q --demo " + good, {"+Q", "--demo", good}, good, true, false},
      {"a missing file", missing, {missing}, missing, false, true},
      {"a missing file, +Q", missing + " +Q", {missing, "+Q"}, missing, false, false},
      {"not a log, told also in quiet mode",
       "+Q " + notALog,
       {"+Q", notALog},
       notALog,
       false,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome started = StartProgram(c.commandLine, c.arguments);
    // The same file through "&Load" in a program started without it.
    const Outcome loading = StartProgram(c.commandLine, {}, c.file);

    EXPECT_EQ(started.boxes, loading.boxes);
    EXPECT_EQ(!started.boxes.empty(), c.boxShown);
    EXPECT_EQ(started.image.bytes, loading.image.bytes);
    EXPECT_EQ(started.image.bytes == log.bytes, c.loaded);
    EXPECT_EQ(started.viewEnabled, c.loaded);
    EXPECT_EQ(started.origin.readFromMeter, loading.origin.readFromMeter);
    EXPECT_EQ(started.origin.fileTime, loading.origin.fileTime);
    EXPECT_EQ(started.titles, loading.titles);
    // No chooser: the file came from the command line.
    EXPECT_TRUE(started.dialogs.empty());
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace klxr
