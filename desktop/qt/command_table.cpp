#include "desktop/qt/command_table.h"

#include "desktop/empty_log_save.h"
#include "desktop/qt/about_box.h"
#include "desktop/qt/application.h"
#include "desktop/qt/device_list_dialog.h"
#include "desktop/qt/log_viewer.h"
#include "desktop/qt/run_file_chooser.h"
#include "link/log_download.h"
#include "link/log_erase.h"
#include "log/log_files.h"
#include "report/report_file.h"

namespace klxr {
namespace {

// The log viewer ("Log Entries", template 208), opened by "&View" once it has found records.
void OpenLogViewer(Application& app) {
  RunLogViewer({app.State().Image, app.State().Chooser, app.Boxes(), app.State().QuietMode,
                app.State().ImageOrigin},
               app.Window());
}

// The About box (template 110).
void OpenAboutBox(Application& app) {
  RunAboutBox(app.Window());
}

// The "USB Device List" dialog (template 158): discovery runs before it is shown.
void OpenDeviceList(Application& app) {
  RunDeviceListDialog(app.State().Link, app.Window());
}

// The chooser for a command, beside the main window; true when a file was chosen.
bool ChooseFile(Application& app, const ChooserCommand& command) {
  return RunFileChooser(app.State().Chooser, command, app.Window(), app.Boxes());
}

// The records of the log image; with none, "No logging data present" (View is then grayed).
int RecordsOrReport(Application& app) {
  const int records = CountRecords(app.State().Image, app.Window());
  if (records == 0) {
    ShowMessage(app.Boxes(), msg::kNoLoggingData, BoxKind::Error);
  }
  return records;
}

}  // namespace

void OnLoad(Application& app) {
  AppState& state = app.State();
  if (ChooseFile(app, kLoadLogChooser)) {
    // A download still running would go on storing meter records into the loaded log.
    if (state.Link.Download.DownloadRunning) {
      AbandonDownload(state.Link, app.Window());
    }
    if (LoadLogFile(state.Image, state.Chooser.ChosenPath, app.Window(), app.Boxes(),
                    state.QuietMode) == 0) {
      state.ImageOrigin = {false, report::LogFileTime(state.Chooser.ChosenPath)};
    }
  }
}

void OnSave(Application& app) {
  AppState& state = app.State();
  if (ChooseFile(app, kSaveLogChooser) &&
      ConfirmEmptyLogSave(state.Image, state.Chooser.ChosenPath, app.Boxes())) {
    SaveLogFile(state.Image, state.Chooser.ChosenPath, app.Boxes(), state.QuietMode);
  }
}

void OnExport(Application& app) {
  const int records = RecordsOrReport(app);
  if (records == 0) {
    return;
  }
  AppState& state = app.State();
  if (ChooseFile(app, kExportCsvChooser)) {
    ExportCsv(state.Image, state.Chooser.ChosenPath, records, app.Boxes(), state.QuietMode);
  }
}

void OnEraseLog(Application& app) {
  if (AskQuestion(app.Boxes(), msg::kConfirmErase) == Answer::Yes) {
    EraseMeterLog(app.State().Link, app.Window());
  }
}

void OnExit(Application& app) {
  if (MainWindow* window = app.Window()) {
    window->close();
  }
}

void OnRead(Application& app) {
  AppState& state = app.State();
  // With a driver loaded, a Read empties the log image and fills it from the meter.
  if (state.Link.DriverLibrary != nullptr) {
    state.ImageOrigin = {true, {}};
  }
  StartDownload(state.Link, app.Window());
}

void OnView(Application& app) {
  if (RecordsOrReport(app) > 0) {
    OpenLogViewer(app);
  }
}

void OnAbout(Application& app) {
  OpenAboutBox(app);
}

void OnVersion(Application& app) {
  OpenDeviceList(app);
}

bool DispatchCommand(Application& app, int commandId) {
  for (const CommandRow& row : kCommandTable) {
    if (row.commandId == commandId) {
      row.run(app);
      return true;
    }
  }
  return false;
}

}  // namespace klxr
