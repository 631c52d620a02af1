#include "desktop/command_table.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "desktop/application.h"
#include "desktop/empty_log_save.h"
#include "link/log_download.h"
#include "link/log_erase.h"
#include "log/log_files.h"

namespace klxr {
namespace {

CommandOutcome Done(std::string file = {}) {
  return {OutcomeKind::Done, std::move(file), {}};
}

CommandOutcome Cancelled() {
  return {OutcomeKind::Cancelled, {}, {}};
}

CommandOutcome Failed(Application& app, std::string file, bool systemFailure) {
  return FailureOutcome(app, std::move(file), systemFailure);
}

// The chooser for a command, over the main window; true when a file was chosen.
bool ChooseFile(Application& app, const ChooserCommand& command) {
  return app.Shell().RunFileChooser(app.State().Chooser, command, app.Boxes());
}

// The records of the log image; with none, "No logging data present" (View is then grayed).
int RecordsOrReport(Application& app) {
  const int records = CountRecords(app.State().Image, app.Window());
  if (records == 0) {
    ShowMessage(app.Boxes(), msg::kNoLoggingData, BoxKind::Error);
  }
  return records;
}

// What writing a chosen file came to: 0 written, else failed.
CommandOutcome WriteOutcome(Application& app, int status, const std::string& path) {
  return status == 0 ? Done(path) : Failed(app, path, true);
}

}  // namespace

CommandOutcome FailureOutcome(Application& app, std::string file, bool systemFailure) {
  const std::optional<NotedBox>& box = app.Boxes().LastBox();
  std::string reason;
  if (systemFailure && box && box->systemError != 0) {
    reason = std::strerror(box->systemError);
  } else if (systemFailure && !box && errno != 0) {
    reason = std::strerror(errno);  // quiet mode: no box
  } else if (box) {
    reason = box->text;
  }
  return {OutcomeKind::Failed, std::move(file), std::move(reason)};
}

CommandOutcome OnLoad(Application& app) {
  if (!ChooseFile(app, kLoadLogChooser)) {
    return Cancelled();
  }
  return LoadNamedLogFile(app, app.State().Chooser.ChosenPath);
}

CommandOutcome LoadNamedLogFile(Application& app, const std::string& path) {
  AppState& state = app.State();
  // A download still running would go on storing meter records into the loaded log.
  if (state.Link.Download.DownloadRunning) {
    AbandonDownload(state.Link, app.Window());
  }
  app.Boxes().Forget();
  const int status = LoadLogFile(state.Image, path, app.Window(), app.Boxes(), state.QuietMode);
  if (status != 0) {
    // 1: the file cannot be opened (the system says why); -1: it holds no log.
    return Failed(app, path, status == 1);
  }
  state.ImageOrigin = {false, LogFileTime(path)};
  // The log loaded is a file's, not the survey the title named.
  state.LastSurvey.reset();
  app.RefreshTitle();
  return Done(path);
}

CommandOutcome OnSave(Application& app) {
  AppState& state = app.State();
  if (!ChooseFile(app, kSaveLogChooser) ||
      !ConfirmEmptyLogSave(state.Image, state.Chooser.ChosenPath, app.Boxes())) {
    return Cancelled();
  }
  const std::string path = state.Chooser.ChosenPath;
  app.Boxes().Forget();
  return WriteOutcome(app, SaveLogFile(state.Image, path, app.Boxes(), state.QuietMode), path);
}

CommandOutcome OnExport(Application& app) {
  const int records = RecordsOrReport(app);
  if (records == 0) {
    return {};
  }
  AppState& state = app.State();
  if (!ChooseFile(app, kExportCsvChooser)) {
    return Cancelled();
  }
  const std::string path = state.Chooser.ChosenPath;
  app.Boxes().Forget();
  return WriteOutcome(app, ExportCsv(state.Image, path, records, app.Boxes(), state.QuietMode),
                      path);
}

CommandOutcome OnEraseLog(Application& app) {
  if (AskQuestion(app.Boxes(), msg::kConfirmErase) != Answer::Yes) {
    return Cancelled();
  }
  app.Boxes().Forget();
  EraseMeterLog(app.State().Link, app.Window());
  // The erase tells its result only in a box: "Meter log data erased" or why it failed.
  const std::optional<NotedBox>& box = app.Boxes().LastBox();
  return box && box->index == msg::kLogErased ? Done() : Failed(app, {}, false);
}

CommandOutcome OnExit(Application& app) {
  // While a Read runs, the user is asked first; No keeps the Read and the window.
  if (!app.CloseRequested()) {
    return Cancelled();
  }
  if (DesktopWindow* window = app.Window()) {
    window->Close();
  }
  return Done();
}

CommandOutcome OnRead(Application& app) {
  AppState& state = app.State();
  // With a driver loaded, a Read empties the log image and fills it from the meter.
  if (state.Link.DriverLibrary != nullptr) {
    state.ImageOrigin = {true, {}};
    state.LastSurvey.reset();
    app.RefreshTitle();
  }
  app.Boxes().Forget();
  StartDownload(state.Link, app.Window());
  return state.Link.Download.DownloadRunning ? Done() : Failed(app, {}, false);
}

CommandOutcome OnView(Application& app) {
  if (RecordsOrReport(app) == 0) {
    return {};
  }
  AppState& state = app.State();
  app.Shell().RunLogViewer(
      {state.Image, state.Chooser, app.Boxes(), state.QuietMode, state.ImageOrigin});
  return Done();
}

CommandOutcome OnAbout(Application& app) {
  app.Shell().RunAboutBox();
  return Done();
}

CommandOutcome OnVersion(Application& app) {
  if (const std::optional<ListedMeter> picked = app.Shell().RunDeviceList(app.State().Link)) {
    PickMeter(app.State(), *picked);
    app.RefreshTitle();
  }
  return Done();
}

CommandOutcome OnReport(Application& app) {
  if (RecordsOrReport(app) == 0) {
    return {};
  }
  AppState& state = app.State();
  app.Shell().RunReport(
      {state.Image, state.Chooser, app.Boxes(), state.QuietMode, state.ImageOrigin});
  return Done();
}

std::optional<CommandOutcome> DispatchCommand(Application& app, int commandId) {
  for (const CommandRow& row : kCommandTable) {
    if (row.commandId == commandId) {
      return row.run(app);
    }
  }
  return std::nullopt;
}

}  // namespace klxr
