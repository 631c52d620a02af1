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

struct Started {
  Started() : bus(vm::OneMeter({})), app(shell, boxes, testing::BusServices(bus)) {}
  vm::VirtualBus bus;
  testing::FakeDesktopShell shell;
  testing::RecordingMessageBoxes boxes;
  Application app;
};

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
    Started started;
    ASSERT_TRUE(started.app.Start(c.commandLine, c.arguments));
    // The same file through "&Load" in a program started without it.
    Started loading;
    ASSERT_TRUE(loading.app.Start(c.commandLine));
    loading.shell.chooserAnswers.push_back(c.file);
    loading.app.Command(cmd::kLoad);

    EXPECT_EQ(started.boxes.boxes, loading.boxes.boxes);
    EXPECT_EQ(!started.boxes.boxes.empty(), c.boxShown);
    EXPECT_EQ(started.app.State().Image.bytes, loading.app.State().Image.bytes);
    EXPECT_EQ(started.app.State().Image.bytes == log.bytes, c.loaded);
    EXPECT_EQ(started.shell.window->recorded.viewEnabled, c.loaded);
    EXPECT_EQ(started.app.State().ImageOrigin.readFromMeter,
              loading.app.State().ImageOrigin.readFromMeter);
    EXPECT_EQ(started.app.State().ImageOrigin.fileTime, loading.app.State().ImageOrigin.fileTime);
    EXPECT_EQ(started.shell.window->titles, loading.shell.window->titles);
    // No chooser: the file came from the command line.
    EXPECT_TRUE(started.shell.dialogs.empty());
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace klxr
