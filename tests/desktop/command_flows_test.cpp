// The flows of the main window's commands, on the core alone: a fake shell that answers the file
// chooser, recorded boxes, and the in-process virtual meter on its virtual clock.
#include "desktop/command_table.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "desktop/application.h"
#include "log/log_files.h"
#include "resources/command_ids.h"
#include "samples/sample_logs.h"
#include "support/fake_desktop_shell.h"
#include "support/recording_message_boxes.h"
#include "virtual-meter/bus_config.h"
#include "virtual-meter/meter_records.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::FakeDesktopShell;
using testing::RecordingMessageBoxes;

class TemporaryFolder {
 public:
  TemporaryFolder()
      : path_(fs::temp_directory_path() /
              ("klxr-flows-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(path_);
  }
  ~TemporaryFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  std::string Path(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ImageText(const LogImage& image) {
  return {image.bytes.begin(), image.bytes.end()};
}

StartUpServices BusServices(vm::VirtualBus& bus) {
  StartUpServices services;
  services.loadDriver = [](std::string&) {
    auto driver = std::make_unique<LoadedDriver>();
    driver->functions = vm::VirtualBus::Functions();
    return driver;
  };
  services.makeComAccess = [](const d2xx::D2xxFunctions& functions) {
    return std::make_unique<ComAccess>(functions);
  };
  services.sleep = bus.SleepFunction();
  return services;
}

// The started program: the log image holds `imageRecords` records, the meter `meterRecords`.
struct Program {
  Program(int imageRecords, int meterRecords, bool quiet, bool meterAttached)
      : bus(meterAttached ? vm::OneMeter(vm::GeneratedRecords(meterRecords)) : vm::BusConfig{}),
        app(shell, boxes, BusServices(bus)) {
    EXPECT_TRUE(app.Start(quiet ? "+Q" : ""));
    if (imageRecords > 0) {
      app.State().Image = samples::MakeRealisticLog(imageRecords, 7);
    }
  }
  vm::VirtualBus bus;
  FakeDesktopShell shell;
  RecordingMessageBoxes boxes;
  Application app;
};

struct FlowCase {
  const char* name;
  int command;
  int imageRecords;
  std::optional<std::string> chosen;  // the chooser's answer (a name in the folder), or a cancel
  std::vector<Answer> answers;        // the questions' answers
  OutcomeKind kind;
  bool outcomeNamesFile;
  std::string reason;
  std::vector<int> boxes;
  std::vector<std::string> dialogs;
  // What the flow left behind, checked on the program and the chosen file's path.
  std::function<void(Program&, const std::string&)> check;
  bool quiet = false;
  bool meterAttached = true;
};

const std::string kMissingFolderFile = "missing/log.tlg";

TEST(CommandFlows, EachCommandReturnsItsOutcomeAndShowsItsBoxes) {
  const std::string noSuchFile = std::strerror(ENOENT);
  const auto wholeImageSaved = [](Program& p, const std::string& path) {
    EXPECT_EQ(ReadFile(path), ImageText(p.app.State().Image));
  };
  const auto csvWritten = [](Program& p, const std::string& path) {
    EXPECT_EQ(ReadFile(path), MakeCsvText(p.app.State().Image, 5));
  };
  const auto nothingWritten = [](Program&, const std::string& path) {
    EXPECT_FALSE(fs::exists(fs::path(path)));
  };
  const auto loaded = [](Program& p, const std::string& path) {
    EXPECT_EQ(ImageText(p.app.State().Image), ReadFile(path));
    EXPECT_TRUE(p.app.State().ImageOrigin.fileTime.has_value());
    EXPECT_TRUE(p.shell.window->recorded.viewEnabled);
  };
  const auto fileKept = [](Program&, const std::string& path) {
    EXPECT_EQ(ReadFile(path), ImageText(samples::MakeRealisticLog(3, 9)));
  };
  const auto imageKept = [](Program& p, const std::string&) {
    EXPECT_EQ(ImageText(p.app.State().Image), ImageText(samples::MakeRealisticLog(5, 7)));
  };
  const auto meterErased = [](Program& p, const std::string&) {
    EXPECT_EQ(p.bus.Adapter(0).Meter()->RecordCount(), 0u);
  };
  const auto meterKept = [](Program& p, const std::string&) {
    EXPECT_EQ(p.bus.Adapter(0).Meter()->RecordCount(), 3u);
  };
  const auto downloading = [](Program& p, const std::string&) {
    EXPECT_TRUE(p.app.State().Link.Download.DownloadRunning);
    EXPECT_TRUE(p.app.State().ImageOrigin.readFromMeter);
  };
  const auto closed = [](Program& p, const std::string&) {
    EXPECT_TRUE(p.shell.window->closed);
    EXPECT_TRUE(p.app.Closed());
  };
  const auto nothing = [](Program&, const std::string&) {};
  const std::string load = "chooser LogLoadDir", save = "chooser LogSaveDir",
                    exportCsv = "chooser KLXRPlusExportDir";
  const OutcomeKind done = OutcomeKind::Done, cancelled = OutcomeKind::Cancelled,
                    failed = OutcomeKind::Failed, none = OutcomeKind::NothingToDo;

  const std::vector<FlowCase> cases = {
      {"load", cmd::kLoad, 0, "in.tlg", {}, done, true, "", {}, {load}, loaded},
      {"load cancelled",
       cmd::kLoad,
       5,
       std::nullopt,
       {},
       cancelled,
       false,
       "",
       {},
       {load},
       imageKept},
      {"load missing",
       cmd::kLoad,
       5,
       "absent.tlg",
       {},
       failed,
       true,
       noSuchFile,
       {msg::kInvalidBinaryFile},
       {load},
       imageKept},
      {"load missing, quiet",
       cmd::kLoad,
       5,
       "absent.tlg",
       {},
       failed,
       true,
       noSuchFile,
       {},
       {load},
       imageKept,
       true},
      {"load not a log",
       cmd::kLoad,
       5,
       "short.tlg",
       {},
       failed,
       true,
       "Error - Invalid data file",
       {msg::kInvalidDataFile},
       {load},
       imageKept},
      {"save", cmd::kSave, 5, "out.tlg", {}, done, true, "", {}, {save}, wholeImageSaved},
      {"save cancelled",
       cmd::kSave,
       5,
       std::nullopt,
       {},
       cancelled,
       false,
       "",
       {},
       {save},
       nothingWritten},
      {"save empty over records, no",
       cmd::kSave,
       0,
       "in.tlg",
       {Answer::No},
       cancelled,
       false,
       "",
       {msg::kOwnText},
       {save},
       fileKept},
      {"save into a missing folder",
       cmd::kSave,
       5,
       kMissingFolderFile,
       {},
       failed,
       true,
       noSuchFile,
       {msg::kCantSaveProgramImage},
       {save},
       nothingWritten},
      {"export", cmd::kExport, 5, "out.csv", {}, done, true, "", {}, {exportCsv}, csvWritten},
      {"export without records",
       cmd::kExport,
       0,
       "out.csv",
       {},
       none,
       false,
       "",
       {msg::kNoLoggingData},
       {},
       nothingWritten},
      {"export cancelled",
       cmd::kExport,
       5,
       std::nullopt,
       {},
       cancelled,
       false,
       "",
       {},
       {exportCsv},
       nothingWritten},
      {"view", cmd::kView, 5, std::nullopt, {}, done, false, "", {}, {"viewer"}, nothing},
      {"view without records",
       cmd::kView,
       0,
       std::nullopt,
       {},
       none,
       false,
       "",
       {msg::kNoLoggingData},
       {},
       nothing},
      {"erase, yes",
       cmd::kEraseLog,
       0,
       std::nullopt,
       {Answer::Yes},
       done,
       false,
       "",
       {msg::kConfirmErase, msg::kLogErased},
       {},
       meterErased},
      {"erase, no",
       cmd::kEraseLog,
       0,
       std::nullopt,
       {Answer::No},
       cancelled,
       false,
       "",
       {msg::kConfirmErase},
       {},
       meterKept},
      {"read", cmd::kRead, 5, std::nullopt, {}, done, false, "", {}, {}, downloading},
      {"read without a meter",
       cmd::kRead,
       5,
       std::nullopt,
       {},
       failed,
       false,
       LoadText(msg::kUsbPortError),
       {msg::kUsbPortError},
       {},
       nothing,
       false,
       false},
      {"about", cmd::kAbout, 0, std::nullopt, {}, done, false, "", {}, {"about"}, nothing},
      {"version", cmd::kVersion, 0, std::nullopt, {}, done, false, "", {}, {"devices"}, nothing},
      {"exit", cmd::kExit, 0, std::nullopt, {}, done, false, "", {}, {}, closed},
      {"no such command", 32770, 5, std::nullopt, {}, none, false, "", {}, {}, imageKept},
  };
  for (const FlowCase& c : cases) {
    SCOPED_TRACE(c.name);
    TemporaryFolder folder;
    {
      std::ofstream in(fs::path(folder.Path("in.tlg")), std::ios::binary);
      const LogImage image = samples::MakeRealisticLog(3, 9);
      in << ImageText(image);
      std::ofstream(fs::path(folder.Path("short.tlg"))) << "not a log";
    }
    Program program(c.imageRecords, 3, c.quiet, c.meterAttached);
    const std::string path = c.chosen ? folder.Path(*c.chosen) : folder.Path("none");
    program.shell.chooserAnswers = {c.chosen ? std::optional(path) : std::nullopt};
    program.boxes.answers.assign(c.answers.begin(), c.answers.end());

    const CommandOutcome outcome = program.app.Command(c.command);

    EXPECT_EQ(outcome, (CommandOutcome{c.kind, c.outcomeNamesFile ? path : "", c.reason}));
    EXPECT_EQ(program.boxes.Indexes(), c.boxes);
    EXPECT_EQ(program.shell.dialogs, c.dialogs);
    c.check(program, path);
  }
}

}  // namespace
}  // namespace klxr
