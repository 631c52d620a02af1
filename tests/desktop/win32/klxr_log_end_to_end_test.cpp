// The built klxr-log.exe under wine on the loadable virtual meter (its virtual clock), driven
// through its menu by automation scripts. While a script waits for a file of the test's own, the
// test reads the program's windows from outside; afterwards it checks the report, the files
// written, the wire transcript and the registry.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "archive/survey_archive.h"
#include "desktop/log_viewer_lines.h"
#include "log/record_format.h"
#include "tests/desktop/win32/program_run.h"

namespace klxr {
namespace {

using testing::FindWindowOf;
using testing::ListBoxLines;
using testing::LookStep;
using testing::ProgramRun;
using testing::RegistryText;

constexpr char kFoldersKey[] = "HKCU\\SOFTWARE\\KLXRPlusData";

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The viewer's lines of the sample log in those units, as the core formats them.
std::vector<std::string> SampleLines(std::uint8_t units) {
  LogImage image;
  const std::string bytes = Contents(KLXR_SAMPLES_DIR "/mixed.tlg");
  EXPECT_EQ(bytes.size(), kLogImageSize);
  std::copy_n(bytes.begin(), std::min(bytes.size(), kLogImageSize), image.bytes.begin());
  return LogViewerLines(image, units);
}

// The first line of the report that starts with the text, or "".
std::string LineStarting(const std::vector<std::string>& report, const std::string& start) {
  for (const std::string& line : report) {
    if (line.rfind(start, 0) == 0) {
      return line;
    }
  }
  return "";
}

// Whether the main window (its class named by the caption of string 167) shows the caption, after
// the survey that keeps the log read when the build has a survey archive.
bool MainWindowCaptioned(DWORD process) {
  const std::string title = testing::WindowTitleOfClass(process, "KL-XR Meter - Log");
  const std::string ending = " - KL-XR Meter - Log";
  if (!archive::ArchiveAvailable()) {
    return title == "KL-XR Meter - Log";
  }
  return title.rfind("Survey ", 0) == 0 && title.size() > ending.size() &&
         title.compare(title.size() - ending.size(), ending.size(), ending) == 0;
}

class KlxrLogWin32Test : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return (folder_.Path() / name).string(); }
  ProgramRun Run(std::string script,
                 std::vector<std::pair<std::string, std::string>> environment = {},
                 std::function<void(DWORD, int)> look = {},
                 std::string driver = KLXR_VIRTUAL_METER_DLL,
                 std::filesystem::path startFolder = {}) {
    testing::ProgramSetup setup;
    setup.startFolder = std::move(startFolder);
    setup.script = std::move(script);
    setup.driver = std::move(driver);
    setup.environment = std::move(environment);
    setup.look = std::move(look);
    return testing::RunProgram(folder_, setup);
  }

  testing::ScratchFolder folder_;
};

// Expects the report to be these lines, each compared by its start.
void ExpectReport(const ProgramRun& run, const std::vector<std::string>& expected) {
  ASSERT_EQ(run.report.size(), expected.size()) << ::testing::PrintToString(run.report);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(run.report[i].rfind(expected[i], 0), 0u) << run.report[i];
  }
}

// A .tlg named on the command line (as the Explorer opens one) loads at start, whatever letters
// its name holds: the name comes from the wide command line.
TEST_F(KlxrLogWin32Test, ALogNamedOnTheCommandLineLoadsAtStart) {
  const std::string sample = Contents(KLXR_SAMPLES_DIR "/ends-with-e.tlg");
  const std::wstring names[] = {L"site 4.tlg", L"caf\u00e9 \u0142\u0105ka.tlg"};
  int run = 0;
  for (const std::wstring& name : names) {
    const std::filesystem::path named = folder_.Path() / name;
    std::ofstream(named, std::ios::binary) << sample;
    const std::string saved = Path("saved-" + std::to_string(++run));
    testing::ProgramSetup setup;
    setup.script = "timeout 20\ncommand 32784\nchoose " + saved + "\nwait-idle\nquit\n";
    setup.driver = KLXR_VIRTUAL_METER_DLL;
    setup.arguments = L"\"" + named.wstring() + L"\"";
    const ProgramRun ran = testing::RunProgram(folder_, setup);
    EXPECT_EQ(ran.exitCode, 0u) << run;
    EXPECT_TRUE(ran.report.empty()) << ::testing::PrintToString(ran.report);
    EXPECT_EQ(Contents(saved + ".tlg"), sample) << run;
  }
}

TEST_F(KlxrLogWin32Test, ReadViewVersionAboutAndEraseOnTheVirtualMeter) {
  bool captioned = false;
  std::vector<std::vector<std::string>>
      shown;  // the viewer's lines, then its unit labels, per look
  const auto look = [&](DWORD process, int /*n*/) {
    captioned = MainWindowCaptioned(process);
    const HWND viewer = FindWindowOf(process, "Log Entries");
    ASSERT_NE(viewer, nullptr);
    shown.push_back(ListBoxLines(GetDlgItem(viewer, 1098)));
    std::vector<std::string> units;
    for (const int id : {1107, 1108, 1109}) {
      char text[32] = {};
      GetWindowTextA(GetDlgItem(viewer, id), text, sizeof text);
      units.push_back(text);
    }
    shown.push_back(units);
  };
  const ProgramRun run =
      Run("timeout 20\nanswer ok\ncommand 32779\nwait-idle\n"  // Read
          "command 32807\nwait-modal\n" +                      // View, in dBm then dBuV
              LookStep(folder_, 1) +
              "click 1106\n" + LookStep(folder_, 2) +
              "cancel\nwait-idle\n"
              "command 32801\nwait-modal\nprint devices\ncancel\nwait-idle\n"  // Version
              "command 104\nwait-modal\nprint about\ncancel\nwait-idle\n"
              "answer yes\nanswer ok\ncommand 32782\nwait-idle\n"  // Erase
              "quit\n",
          {{"KLXR_VM_TRANSCRIPT", Path("wire.txt")}}, look);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(captioned);  // the caption of string 167
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], SampleLines(kUnitsDbm));
  EXPECT_EQ(shown[1], (std::vector<std::string>{"dBm", "dBm", "dBm"}));
  EXPECT_EQ(shown[2], SampleLines(kUnitsDbuv));
  EXPECT_EQ(shown[3], (std::vector<std::string>{"dBuV", "dBuV", "dBuV"}));
  EXPECT_NE(shown[0], shown[2]);
  ExpectReport(run, {
                        "box information 3 \"Transfer Complete!\" -> ok",
                        "look 1",
                        "look 2",
                        "devices",  // the device list, with the meter's version
                        "about",
                        "box question",  // the erase's confirmation
                        "box plain 24 \"Meter log data erased\" -> ok",
                    });
  EXPECT_NE(Contents(Path("wire.txt")).find("45 52 41 53 45"), std::string::npos)  // "ERASE"
      << "the erase command never went to the meter";
}

TEST_F(KlxrLogWin32Test, VersionListsEveryMeterAttached) {
  std::vector<std::string> devices;
  std::string count;
  const auto look = [&](DWORD process, int /*n*/) {
    const HWND list = FindWindowOf(process, "USB Devices");
    ASSERT_NE(list, nullptr);
    devices = ListBoxLines(GetDlgItem(list, 1089));
    char text[64] = {};
    GetWindowTextA(GetDlgItem(list, 1092), text, sizeof text);
    count = text;
  };
  const ProgramRun run = Run("timeout 20\ncommand 32801\nwait-modal\n" + LookStep(folder_, 1) +
                                 "cancel\nwait-idle\nquit\n",
                             {{"KLXR_VM_DEVICES", "2"}}, look);
  EXPECT_EQ(run.exitCode, 0u);
  ASSERT_EQ(devices.size(), 2u) << ::testing::PrintToString(devices);
  for (const std::string& device : devices) {
    EXPECT_NE(device.find("KLXR V2.31"), std::string::npos) << device;
  }
  EXPECT_EQ(count, "2");
}

TEST_F(KlxrLogWin32Test, SaveLoadAndExportThroughTheChooserRememberTheirFolders) {
  testing::DeleteRegistryKey(kFoldersKey);
  const std::filesystem::path files = folder_.Path() / "survey files";
  std::filesystem::create_directories(files);
  // The program starts in that folder, where the chooser opens; the names are typed there.
  const ProgramRun run =
      Run("timeout 20\nanswer ok\ncommand 32779\nwait-idle\n"                   // Read
          "command 32784\nchoose north mast\nwait-idle\nprint saved\n"          // Save
          "command 32780\nchoose north mast.tlg\nwait-idle\nprint loaded\n"     // Load
          "command 32806\nchoose north mast\nwait-idle\nprint exported\n"       // Export
          "command 32807\nwait-modal\nclick 1100\nchoose viewer\nwait-file " +  // View
              (files / "viewer.csv").string() +
              "\ncancel\nwait-idle\nquit\n",
          {}, {}, KLXR_VIRTUAL_METER_DLL, files);
  EXPECT_EQ(run.exitCode, 0u);
  ExpectReport(run, {
                        "box information 3 \"Transfer Complete!\" -> ok",
                        "saved",
                        "loaded",
                        "exported",
                    });
  EXPECT_EQ(Contents(files / "north mast.tlg"), Contents(KLXR_SAMPLES_DIR "/mixed.tlg"));
  const std::string exported = Contents(files / "north mast.csv");
  EXPECT_GT(exported.size(), 100u);
  EXPECT_EQ(Contents(files / "viewer.csv"), exported);
  for (const char* value : {"LogSaveDir", "LogLoadDir", "KLXRPlusExportDir"}) {
    EXPECT_EQ(RegistryText(kFoldersKey, value), files.string()) << value;
  }
}

TEST_F(KlxrLogWin32Test, AReadThatFailsPartWayIsTold) {
  std::ofstream(Path("meter.txt")) << "clock virtual\ndevice meter-lead\n  records 300\n"
                                      "  vanish after-replies 40\n";
  const ProgramRun run = Run("timeout 20\nanswer ok\ncommand 32779\nwait-idle\nquit\n",
                             {{"KLXR_VM_SCENARIO", Path("meter.txt")}, {"KLXR_VM_LOG", ""}});
  EXPECT_EQ(run.exitCode, 0u);
  ExpectReport(run, {"box error 2 \"Error - Handshake not received\" -> ok"});
  EXPECT_EQ(LineStarting(run.report, "box information 3 \"Transfer Complete!\""), "");
}

// With the survey archive: the Read is kept and named in the title; History lists it and Forget
// removes it after its question, the title no longer naming it. Without one, a box says so.
TEST_F(KlxrLogWin32Test, HistoryListsTheReadKeptAndForgetsIt) {
  if (!archive::ArchiveAvailable()) {
    const ProgramRun run = Run("timeout 20\nanswer ok\ncommand 32850\nwait-idle\nquit\n");
    EXPECT_EQ(run.exitCode, 0u);
    ExpectReport(run, {"box information -1 \"The survey history is not available: this build "
                       "has no survey archive.\" -> ok"});
    return;
  }
  std::vector<std::string> seen;  // per look: the main window's title, the list's rows, the status
  const auto look = [&](DWORD process, int /*n*/) {
    seen.push_back(testing::WindowTitleOfClass(process, "KL-XR Meter - Log"));
    const HWND history = FindWindowOf(process, "History");
    ASSERT_NE(history, nullptr);
    seen.push_back(std::to_string(SendMessageW(GetDlgItem(history, 1200), LVM_GETITEMCOUNT, 0, 0)));
    char status[128] = {};
    GetWindowTextA(GetDlgItem(history, 1207), status, sizeof status);
    seen.push_back(status);
  };
  const ProgramRun run =
      Run("timeout 20\nanswer ok\ncommand 32779\nwait-idle\n"  // Read
          "command 32850\nwait-modal\n" +                      // History
              LookStep(folder_, 1) +
              "answer yes\nclick 1205\nsleep 500\n" +  // Forget
              LookStep(folder_, 2) + "cancel\nwait-idle\nquit\n",
          {{"KLXR_ARCHIVE", Path("surveys.sqlite")}}, look);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"Survey 1 - KL-XR Meter - Log", "1", "1 survey",
                                      "KL-XR Meter - Log", "0", "0 surveys; survey 1 forgotten"}));
  ExpectReport(run, {
                        "box information 3 \"Transfer Complete!\" -> ok",
                        "look 1",
                        "box question -1 \"Forget survey 1?",
                        "look 2",
                    });
}

TEST_F(KlxrLogWin32Test, AMissingDriverIsToldAndTheProgramEnds) {
  const ProgramRun run = Run("answer ok\n", {}, {}, Path("no-such-driver.dll"));
  EXPECT_EQ(run.exitCode, 0u);
  ExpectReport(run, {"box information 8 \"Warning, can't load USB driver (ftd2xx.dll)\""});
}

}  // namespace
}  // namespace klxr
