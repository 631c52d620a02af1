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
#include "support/bus_services.h"
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

enum class Setup { kNormal, kQuiet, kNoMeter };

// The started program: the log image holds `imageRecords` records, the meter `meterRecords`.
struct Program {
  Program(int imageRecords, int meterRecords, Setup setup)
      : bus(setup != Setup::kNoMeter ? vm::OneMeter(vm::GeneratedRecords(meterRecords))
                                     : vm::BusConfig{}),
        app(shell, boxes, testing::BusServices(bus)) {
    EXPECT_TRUE(app.Start(setup == Setup::kQuiet ? "+Q" : ""));
    if (imageRecords > 0) {
      app.State().Image = samples::MakeRealisticLog(imageRecords, 7);
    }
  }
  vm::VirtualBus bus;
  FakeDesktopShell shell;
  RecordingMessageBoxes boxes;
  Application app;
};

// What the user does: the command, with the image holding imageRecords records, the chooser
// answered with a name in the test's folder (nullptr: cancelled) and the questions' answers.
struct Given {
  const char* name;
  int command;
  int imageRecords;
  const char* chosen;
  std::vector<Answer> answers = {};
  Setup setup = Setup::kNormal;
};

// What comes of it: the outcome (naming the chosen file when done or failed), the boxes, the
// dialogs, and a check of what the flow left behind, given the program and the chosen path.
struct Expected {
  OutcomeKind kind;
  std::string reason;
  std::vector<int> boxes;
  std::vector<std::string> dialogs;
  std::function<void(Program&, const std::string&)> check;
};

struct FlowCase {
  Given given;
  Expected expected;
};

TEST(CommandFlows, EachCommandReturnsItsOutcomeAndShowsItsBoxes) {
  const std::string noSuchFile = std::strerror(ENOENT);
  // The Windows file writer leaves errno alone (its reason is the system's last error), so there
  // a failed write's outcome carries the box's text.
#ifdef _WIN32
  const std::string cannotWrite = LoadText(msg::kCantSaveProgramImage);
#else
  const std::string cannotWrite = noSuchFile;
#endif
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
      {{"load", cmd::kLoad, 0, "in.tlg"}, {done, "", {}, {load}, loaded}},
      {{"load cancelled", cmd::kLoad, 5, nullptr}, {cancelled, "", {}, {load}, imageKept}},
      {{"load missing", cmd::kLoad, 5, "absent.tlg"},
       {failed, noSuchFile, {msg::kInvalidBinaryFile}, {load}, imageKept}},
      {{"load missing, quiet", cmd::kLoad, 5, "absent.tlg", {}, Setup::kQuiet},
       {failed, noSuchFile, {}, {load}, imageKept}},
      {{"load not a log", cmd::kLoad, 5, "short.tlg"},
       {failed, "Error - Invalid data file", {msg::kInvalidDataFile}, {load}, imageKept}},
      {{"save", cmd::kSave, 5, "out.tlg"}, {done, "", {}, {save}, wholeImageSaved}},
      {{"save cancelled", cmd::kSave, 5, nullptr}, {cancelled, "", {}, {save}, nothingWritten}},
      {{"save empty over records, no", cmd::kSave, 0, "in.tlg", {Answer::No}},
       {cancelled, "", {msg::kOwnText}, {save}, fileKept}},
      {{"save into a missing folder", cmd::kSave, 5, "missing/log.tlg"},
       {failed, cannotWrite, {msg::kCantSaveProgramImage}, {save}, nothingWritten}},
      {{"export", cmd::kExport, 5, "out.csv"}, {done, "", {}, {exportCsv}, csvWritten}},
      {{"export without records", cmd::kExport, 0, "out.csv"},
       {none, "", {msg::kNoLoggingData}, {}, nothingWritten}},
      {{"export cancelled", cmd::kExport, 5, nullptr},
       {cancelled, "", {}, {exportCsv}, nothingWritten}},
      {{"view", cmd::kView, 5, nullptr}, {done, "", {}, {"viewer"}, nothing}},
      {{"view without records", cmd::kView, 0, nullptr},
       {none, "", {msg::kNoLoggingData}, {}, nothing}},
      {{"report", cmd::kReport, 5, nullptr}, {done, "", {}, {"report"}, nothing}},
      {{"report without records", cmd::kReport, 0, nullptr},
       {none, "", {msg::kNoLoggingData}, {}, nothing}},
      {{"erase, yes", cmd::kEraseLog, 0, nullptr, {Answer::Yes}},
       {done, "", {msg::kConfirmErase, msg::kLogErased}, {}, meterErased}},
      {{"erase, no", cmd::kEraseLog, 0, nullptr, {Answer::No}},
       {cancelled, "", {msg::kConfirmErase}, {}, meterKept}},
      {{"erase without a meter", cmd::kEraseLog, 0, nullptr, {Answer::Yes}, Setup::kNoMeter},
       {failed,
        LoadText(msg::kUsbPortError),
        {msg::kConfirmErase, msg::kUsbPortError},
        {},
        nothing}},
      {{"read", cmd::kRead, 5, nullptr}, {done, "", {}, {}, downloading}},
      {{"read without a meter", cmd::kRead, 5, nullptr, {}, Setup::kNoMeter},
       {failed, LoadText(msg::kUsbPortError), {msg::kUsbPortError}, {}, nothing}},
      {{"about", cmd::kAbout, 0, nullptr}, {done, "", {}, {"about"}, nothing}},
      {{"version", cmd::kVersion, 0, nullptr}, {done, "", {}, {"devices"}, nothing}},
      {{"exit", cmd::kExit, 0, nullptr}, {done, "", {}, {}, closed}},
      {{"no such command", 32770, 5, nullptr}, {none, "", {}, {}, imageKept}},
  };
  for (const auto& [given, expected] : cases) {
    SCOPED_TRACE(given.name);
    TemporaryFolder folder;
    {
      std::ofstream(fs::path(folder.Path("in.tlg")), std::ios::binary)
          << ImageText(samples::MakeRealisticLog(3, 9));
      std::ofstream(fs::path(folder.Path("short.tlg"))) << "not a log";
    }
    Program program(given.imageRecords, 3, given.setup);
    const std::string path = given.chosen != nullptr ? folder.Path(given.chosen) : "";
    program.shell.chooserAnswers = {given.chosen != nullptr ? std::optional(path) : std::nullopt};
    program.boxes.answers.assign(given.answers.begin(), given.answers.end());

    const CommandOutcome outcome = program.app.Command(given.command);

    const bool namesFile =
        expected.kind == OutcomeKind::Done || expected.kind == OutcomeKind::Failed;
    EXPECT_EQ(outcome, (CommandOutcome{expected.kind, namesFile ? path : "", expected.reason}));
    EXPECT_EQ(program.boxes.Indexes(), expected.boxes);
    EXPECT_EQ(program.shell.dialogs, expected.dialogs);
    expected.check(program, path);
  }
}

}  // namespace
}  // namespace klxr
