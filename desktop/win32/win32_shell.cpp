#include "desktop/win32/win32_shell.h"

#include <string>
#include <utility>
#include <vector>

#include "desktop/log_viewer_lines.h"
#include "desktop/run_file_chooser.h"
#include "desktop/win32/about_box.h"
#include "desktop/win32/device_list_dialog.h"
#include "desktop/win32/file_chooser.h"
#include "desktop/win32/history_window.h"
#include "desktop/win32/log_viewer_dialog.h"
#include "desktop/win32/log_viewer_report.h"
#include "desktop/win32/main_window.h"
#include "desktop/win32/registry_settings_store.h"
#include "link/meter_discovery.h"
#include "log/log_files.h"
#include "log/record_format.h"
#include "resources/menu_table.h"

namespace klxr::win32 {

std::unique_ptr<DesktopWindow> Win32Shell::CreateMainWindow(std::string_view caption,
                                                            MainWindowCallbacks callbacks) {
  const std::string text(caption);
  MainWindow::RegisterWindowClass(instance_, text);
  std::unique_ptr<MainWindow> window =
      MainWindow::Create(instance_, text, text, std::move(callbacks));
  if (window == nullptr) {
    window_ = nullptr;
    return nullptr;
  }
  window_ = window->Handle();
  window->AddProgramMenuItems();
  window->ShowShortcutKeys();
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  return window;
}

HWND Win32Shell::Window() const {
  return window_ != nullptr && IsWindow(window_) ? window_ : nullptr;
}

int Win32Shell::RunEventLoop() {
  const HACCEL tables[] = {
      LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(kAcceleratorTableId)),
      LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(kShortcutTableId)),
  };
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (TranslateMainAccelerators(tables, message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

bool Win32Shell::TranslateMainAccelerators(std::span<const HACCEL> tables, MSG& message) const {
  const HWND main = Window();
  if (main == nullptr) {
    return false;
  }
  for (const HACCEL table : tables) {
    if (table != nullptr && TranslateAcceleratorA(main, table, &message) != 0) {
      return true;
    }
  }
  return false;
}

void Win32Shell::QuitEventLoop(int exitCode) {
  PostQuitMessage(exitCode);
}

bool Win32Shell::RunFileChooser(ChooserRequest& request, const ChooserCommand& command,
                                MessageBoxes& boxes) {
  RegistrySettingsStore store;
  return klxr::RunFileChooser(request, command, store, boxes, [&](ChooserRequest& filled) {
    RunFileChooserDialog(instance_, Window(), filled, boxes);
  });
}

void Win32Shell::RunLogViewer(const LogViewerContext& context) {
  LogViewerCallbacks callbacks;
  callbacks.lines = [&context](bool dbuv) {
    return LogViewerLines(context.image, dbuv ? kUnitsDbuv : kUnitsDbm);
  };
  callbacks.exportCsv = [this, &context](HWND /*viewer*/) {
    if (!RunFileChooser(context.chooser, kExportCsvChooser, context.boxes)) {
      return;
    }
    // The CSV file carries both units, whatever the list shows.
    const int count = CountRecords(context.image, nullptr);
    if (count > 0) {
      ExportCsv(context.image, context.chooser.ChosenPath, count, context.boxes, context.quietMode);
    }
  };
  callbacks.saveReport = [this, &context](HWND /*viewer*/, bool dbuv) {
    SaveLogReport(context, dbuv, ChooserForReport());
  };
  win32::RunLogViewer(instance_, Window(), callbacks);
}

void Win32Shell::RunAboutBox() {
  win32::RunAboutBox(instance_, Window());
}

std::optional<ListedMeter> Win32Shell::RunDeviceList(const MeterLink& link) {
  CollectedMeters meters;
  if (link.DriverLibrary != nullptr) {
    DiscoverMeters(link, &meters);
  }
  return RunDeviceListDialog(instance_, Window(), meters);
}

void Win32Shell::RunReport(const LogViewerContext& context) {
  SaveLogReport(context, false, ChooserForReport());
}

ReportChooser Win32Shell::ChooserForReport() {
  return [this](ChooserRequest& request, const ChooserCommand& command, MessageBoxes& boxes) {
    return RunFileChooser(request, command, boxes);
  };
}

void Win32Shell::RunHistoryWindow(HistoryCommands& history) {
  win32::RunHistoryWindow(instance_, Window(), history);
}

}  // namespace klxr::win32
