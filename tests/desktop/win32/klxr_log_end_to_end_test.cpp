// The built klxr-log.exe under wine on the loadable virtual meter (its virtual clock), driven by an
// automation script whose report goes to a file. While the script waits for a file of the test's
// own, the test reads the program's windows from outside: the main window's caption and what the
// log viewer shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/windows/scratch_folder.h"

namespace klxr {
namespace {

struct ProgramRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::vector<std::string> report;  // the lines of the report file
};

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return lines;
}

struct Found {
  DWORD process;
  std::string title;
  HWND window = nullptr;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM found) {
  auto& f = *reinterpret_cast<Found*>(found);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char title[128] = {};
  GetWindowTextA(window, title, sizeof title);
  if (process == f.process && IsWindowVisible(window) && f.title == title) {
    f.window = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowOf(DWORD process, const std::string& title) {
  Found found{process, title};
  EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

// What the log viewer shows: its number of lines, and the unit labels (controls 1107 to 1109).
struct ViewerState {
  LRESULT lines = 0;
  std::vector<std::string> units;
};

ViewerState ReadViewer(HWND viewer) {
  ViewerState state;
  state.lines = SendMessageA(GetDlgItem(viewer, 1098), LB_GETCOUNT, 0, 0);
  for (const int id : {1107, 1108, 1109}) {
    char text[32] = {};
    GetWindowTextA(GetDlgItem(viewer, id), text, sizeof text);
    state.units.push_back(text);
  }
  return state;
}

class KlxrLogWin32Test : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return (folder_.Path() / name).string(); }

  // Runs the program with the script on the driver; when the report says "look", calls look with
  // the program's process id and then creates the file "go" that the script waits for.
  ProgramRun Run(const std::string& script, const std::string& driver,
                 const std::function<void(DWORD)>& look = {}) {
    std::ofstream(Path("script.txt"), std::ios::binary) << script;
    _putenv_s("KLXR_AUTOMATION", Path("script.txt").c_str());
    _putenv_s("KLXR_AUTOMATION_REPORT", Path("report.txt").c_str());
    _putenv_s("KLXR_D2XX_LIBRARY", driver.c_str());
    _putenv_s("KLXR_VM_CLOCK", "virtual");
    _putenv_s("KLXR_VM_LOG", KLXR_SAMPLES_DIR "/mixed.tlg");
    std::string command = "\"" KLXR_LOG_PROGRAM "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ProgramRun run;
    // The program starts in the test's folder, where the build's paths are on the current drive.
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      ADD_FAILURE() << "cannot start " << KLXR_LOG_PROGRAM;
      return run;
    }
    bool looked = !look;
    const DWORD started = GetTickCount();
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
      if (GetTickCount() - started > 40000) {
        ADD_FAILURE() << "the program did not end";
        TerminateProcess(process.hProcess, 99);
      }
      const std::vector<std::string> lines = ReadLines(Path("report.txt"));
      if (!looked && !lines.empty() && lines.back() == "look") {
        look(process.dwProcessId);
        std::ofstream(Path("go")) << "go";
        looked = true;
      }
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.report = ReadLines(Path("report.txt"));
    return run;
  }

  std::string Look() const { return "print look\nwait-file " + Path("go") + "\n"; }

  testing::ScratchFolder folder_;
};

TEST_F(KlxrLogWin32Test, TheMenuCommandsOnTheVirtualMeter) {
  bool captioned = false;
  ViewerState viewer;
  const auto look = [&](DWORD process) {
    captioned = FindWindowOf(process, "KL-XR Meter - Log") != nullptr;
    const HWND window = FindWindowOf(process, "Log Entries");
    ASSERT_NE(window, nullptr);
    viewer = ReadViewer(window);
  };
  const ProgramRun run =
      Run("timeout 20\nanswer ok\ncommand 32779\nwait-idle\n"  // Read
          "command 32807\nwait-modal\n" +                      // View
              Look() +
              "cancel\nwait-idle\n"
              "command 32801\nwait-modal\nprint devices\ncancel\nwait-idle\n"  // Version
              "command 104\nwait-modal\nprint about\ncancel\nwait-idle\n"
              "answer yes\nanswer ok\ncommand 32782\nwait-idle\n"  // Erase
              "quit\n",
          KLXR_VIRTUAL_METER_DLL, look);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(captioned);  // the caption of string 167
  EXPECT_GT(viewer.lines, 0);
  EXPECT_EQ(viewer.units, (std::vector<std::string>{"dBm", "dBm", "dBm"}));
  const std::vector<std::string> expected = {
      "box information 3 \"Transfer Complete!\" -> ok",
      "look",
      "devices",  // the device list, with the meter's version
      "about",
      "box question",  // the erase's confirmation
      "box plain 24 \"Meter log data erased\" -> ok",
  };
  ASSERT_EQ(run.report.size(), expected.size()) << ::testing::PrintToString(run.report);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(run.report[i].rfind(expected[i], 0), 0u) << run.report[i];
  }
}

TEST_F(KlxrLogWin32Test, AMissingDriverIsToldAndTheProgramEnds) {
  const ProgramRun run = Run("answer ok\n", Path("no-such-driver.dll"));
  EXPECT_EQ(run.exitCode, 0u);
  ASSERT_EQ(run.report.size(), 1u);
  EXPECT_EQ(
      run.report[0].rfind("box information 8 \"Warning, can't load USB driver (ftd2xx.dll)\"", 0),
      0u)
      << run.report[0];
}

}  // namespace
}  // namespace klxr
