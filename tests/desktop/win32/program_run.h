// Runs the built klxr-log.exe under wine with an automation script whose report goes to a file, and
// reads what the program shows from outside: windows by caption, the lines of a list box, and the
// registry values it keeps, as `reg query` prints them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/windows/scratch_folder.h"

namespace klxr::testing {

struct ProgramRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::vector<std::string> report;  // the lines of the report file
};

struct ProgramSetup {
  std::string script;
  std::string driver;  // the file KLXR_D2XX_LIBRARY names
  // Where the program starts; empty: the test's own current folder.
  std::filesystem::path startFolder;
  std::vector<std::pair<std::string, std::string>>
      environment;  // further variables, set for the run
  // Called with the program's process id and the look's number each time the report's last line is
  // "look N" (a script step "print look N"); the file "go N" that the script then waits for is
  // created afterwards.
  std::function<void(DWORD, int)> look;
  // The arguments after the program's name, as the wide command line carries them.
  std::wstring arguments;
};

// A path of the build's, as the program sees it from any folder: under wine a path from the root of
// the Linux file system ("/work/...") is on drive Z:.
std::string FromAnyFolder(const std::string& path);

// The lines of a text file, without their line ends; none when it does not exist.
std::vector<std::string> ReadLines(const std::filesystem::path& path);

// The script steps that stop the program for look number n until the test has looked.
std::string LookStep(const ScratchFolder& folder, int n);

// Starts the program in the folder with the setup; waits at most 40 s for it to end.
ProgramRun RunProgram(const ScratchFolder& folder, const ProgramSetup& setup);

// The program's visible top-level window with that caption, or none.
HWND FindWindowOf(DWORD process, const std::string& caption);

// The title of the program's visible top-level window of that window class; "" when there is none.
std::string WindowTitleOfClass(DWORD process, const std::string& className);

// The lines of a list box of another process.
std::vector<std::string> ListBoxLines(HWND list);

// What `reg query` prints of one value: its data ("REG_SZ" values only), or "" when it is missing.
std::string RegistryText(const std::string& key, const std::string& value);

// Deletes a registry key with `reg delete` (no matter whether it exists).
void DeleteRegistryKey(const std::string& key);

}  // namespace klxr::testing
