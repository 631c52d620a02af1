// klxr-log: the desktop program. Shows the main window, reads the meter's log, shows, saves, loads
// and exports it. "+Q" anywhere on the command line silences the reports of files that cannot be
// opened or created. The environment variable KLXR_AUTOMATION may name a script that drives the
// program for demos and tests (desktop/automation_script.h), with its report on standard output or
// in the file KLXR_AUTOMATION_REPORT names. "--help" and "--version" print and end
// the program before any window opens; "--demo" talks to the virtual meter holding the sample log.
// A .tlg file named as an argument ("klxr-log some.tlg", the file manager's "Open") is loaded at
// start as "&Load" loads it.
#include <QApplication>
#include <csignal>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "archive/archive_location.h"
#include "desktop/application.h"
#include "desktop/command_line.h"
#include "desktop/program_options.h"
#include "desktop/qt/automation_runner.h"
#include "desktop/qt/qt_message_boxes.h"
#include "desktop/qt/qt_shell.h"
#include "desktop/settings_file_store.h"
#include "link/demo_setup.h"
#include "platform/program_arguments.h"

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);  // a write past the file-size limit fails and is reported
#endif
  const klxr::ProgramOptions options = klxr::ScanProgramOptions(argc, argv);
  if (options.help || options.version) {
    std::cout << (options.help ? klxr::DesktopHelpText() : klxr::DesktopVersionText());
    return 0;
  }
  if (options.demo) {
    const std::string problem = klxr::EnterDemoMode(argv[0]);
    if (!problem.empty()) {
      std::cerr << "klxr-log: --demo: " << problem << "\n";
      return 1;
    }
    klxr::archive::UseDemoArchive();
  }
  // Settings an earlier version kept in ~/.config/KLXRPlusData.ini move to their own folder; when
  // they cannot, the old file stays in use.
  klxr::MoveOldSettingsFile();
  const std::string commandLine = klxr::CommandLineText(argc, argv);
  // Taken before Qt removes the arguments it knows from argv.
  const std::vector<std::string> arguments = klxr::platform::ProgramArguments(argc, argv);
  QApplication qtApplication(argc, argv);
  const QString script = qEnvironmentVariable(klxr::kAutomationVariable);
  if (!script.isEmpty()) {
    return klxr::RunAutomated(commandLine, script, arguments, options.demo);
  }
  klxr::QtShell shell;
  klxr::QtMessageBoxes boxes;
  klxr::StartUpServices services = klxr::ProgramServices();
  services.demoMeter = options.demo;
  services.readSetting = [](std::string_view name) {
    klxr::SettingsFileStore store(klxr::UserSettingsFile());
    return store.ReadValue(name);
  };
  klxr::Application application(shell, boxes, std::move(services));
  if (!application.Start(commandLine, arguments)) {
    return 0;
  }
  return application.Run();
}
