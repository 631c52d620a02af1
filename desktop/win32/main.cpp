// klxr-log.exe: the desktop program on Windows, the same program as on Linux over the Win32 shell.
// "+Q" anywhere on the command line silences the reports of files that cannot be opened or
// created. "--help" and "--version" show their text in a message box (a GUI program has no console)
// and end the program before any window opens; "--demo" talks to the virtual meter holding the
// sample log; a .tlg file named as an argument (the Explorer's "Open") is loaded at start as
// "&Load" loads it. The environment variable KLXR_AUTOMATION may name a script that drives the
// program for demos and tests (desktop/automation_script.h); its report goes to the file
// KLXR_AUTOMATION_REPORT names, this program having no standard output.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "archive/archive_location.h"
#include "desktop/application.h"
#include "desktop/automation_script.h"
#include "desktop/command_line.h"
#include "desktop/program_options.h"
#include "desktop/script_runner.h"
#include "desktop/win32/automation_controls.h"
#include "desktop/win32/registry_settings_store.h"
#include "desktop/win32/win32_message_boxes.h"
#include "desktop/win32/win32_shell.h"
#include "link/demo_setup.h"
#include "platform/program_arguments.h"
#include "resources/string_table.h"

namespace {

// AppCaption and AppClassName hold at most 99 characters.
constexpr int kCaptionCapacity = 100;

std::string LoadCaption(HINSTANCE instance) {
  char caption[kCaptionCapacity] = "Quorvel KLXR";
  LoadStringA(instance, klxr::kCaptionStringId, caption, kCaptionCapacity);
  return caption;
}

void ShowText(std::string_view text, const std::string& caption, UINT icon) {
  MessageBoxA(nullptr, std::string(text).c_str(), caption.c_str(), MB_OK | MB_TASKMODAL | icon);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
  const int argc = __argc;
  const char* const* argv = __argv;
  const std::string caption = LoadCaption(instance);
  const klxr::ProgramOptions options = klxr::ScanProgramOptions(argc, argv);
  if (options.help || options.version) {
    ShowText(options.help ? klxr::DesktopHelpText() : klxr::DesktopVersionText(), caption,
             MB_ICONINFORMATION);
    return 0;
  }
  if (options.demo) {
    const std::string problem = klxr::EnterDemoMode(argv[0]);
    if (!problem.empty()) {
      ShowText("--demo: " + problem, caption, MB_ICONERROR);
      return 1;
    }
    klxr::archive::UseDemoArchive();
  }
  const std::string commandLine = klxr::CommandLineText(argc, argv);
  // From the wide command line, so that a file name with any letters opens.
  const std::vector<std::string> arguments = klxr::platform::ProgramArguments(argc, argv);
  klxr::win32::Win32Shell shell(instance);
  const char* script = std::getenv(klxr::kAutomationVariable);
  if (script != nullptr && *script != '\0') {
    klxr::win32::TrackedMessageBoxes shownBoxes(caption);
    klxr::win32::Win32AutomationControls controls(shownBoxes, [&shell] { return shell.Window(); });
    return klxr::RunAutomated(commandLine, script, shell, shownBoxes, controls, arguments,
                              options.demo);
  }
  klxr::win32::Win32MessageBoxes boxes(caption);
  klxr::StartUpServices services = klxr::ProgramServices();
  services.demoMeter = options.demo;
  services.readSetting = [](std::string_view name) {
    klxr::win32::RegistrySettingsStore store;
    return store.ReadValue(name);
  };
  klxr::Application application(shell, boxes, std::move(services));
  if (!application.Start(commandLine, arguments)) {
    return 0;
  }
  return application.Run();
}
