#include "desktop/application.h"

#include <new>
#include <utility>

#include "desktop/command_line.h"
#include "desktop/command_table.h"
#include "link/driver_library.h"
#include "link/driver_messages.h"
#include "link/log_download.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace klxr {

StartUpServices ProgramServices() {
  StartUpServices services;
  services.loadDriver = [](std::string& problem) -> std::unique_ptr<LoadedDriver> {
    DriverLoadDiagnosis diagnosis;
    std::unique_ptr<DriverLibrary> library = DriverLibrary::Load(&diagnosis);
    if (!library) {
      problem = LibraryProblemText(diagnosis);
      return nullptr;
    }
    auto driver = std::make_unique<LoadedDriver>();
    driver->functions = library->Functions();
    driver->library = std::move(library);
    return driver;
  };
  services.archiveFile = ProgramArchiveFile;
  services.makeComAccess = [](const d2xx::D2xxFunctions& functions) {
    return std::unique_ptr<ComAccess>(new (std::nothrow) ComAccess(functions));
  };
  return services;
}

Application::Application(DesktopShell& shell, MessageBoxes& boxes, StartUpServices services)
    : shell_(shell), boxes_(boxes), services_(std::move(services)), state_(boxes_) {
  state_.Link.Sleep = services_.sleep;
  state_.DemoMeter = services_.demoMeter;
}

Application::~Application() {
  window_.reset();
  DestroySharedComAccess();
}

bool Application::Start(std::string_view commandLine, const std::vector<std::string>& arguments) {
  state_.Image.Clear();
  state_.QuietMode = false;
  state_.AppCaption = kInitialCaption;
  const CommandLineSwitches switches = ScanCommandLineSwitches(commandLine);
  state_.QuietMode = switches.quiet;
  state_.Link.Transfer = switches.paced ? TransferMode::kPaced : TransferMode::kFast;
  state_.AppCaption = FitCapacity(LoadString(kCaptionStringId), kCaptionCapacity);
  if (services_.archiveFile) {
    archiver_.Configure(services_.archiveFile(
        services_.readSetting ? services_.readSetting(kArchiveSurveysSetting) : std::nullopt));
  }
  CreateMainWindow();
  std::string driverProblem;
  if (!LoadDriver(driverProblem)) {
    // The program ends here; the window already shown goes away with it.
    ShowMessage(boxes_, msg::kCantLoadUsbDriver, BoxKind::Information, driverProblem);
    return false;
  }
  if (!CreateSharedComAccess()) {
    ShowMessage(boxes_, msg::kNoMemoryForComAccess, BoxKind::Error);
    return false;
  }
  // A log named on the command line (or opened from the file manager) loads as "&Load" loads it;
  // a file that cannot be loaded is told as Load tells it and the program goes on.
  if (const std::optional<std::string> logFile = LogFileArgument(arguments)) {
    LoadNamedLogFile(*this, *logFile);
  }
  return true;
}

int Application::Run() {
  int exitCode = 0;
  if (!closed_) {
    inEventLoop_ = true;
    exitCode = shell_.RunEventLoop();
    inEventLoop_ = false;
  }
  DestroySharedComAccess();
  return exitCode;
}

CommandOutcome Application::Command(int commandId) {
  return DispatchCommand(*this, commandId).value_or(CommandOutcome{});
}

void Application::TimerTick(int timerId) {
  if (timerId == cmd::kDownloadTimerId && state_.Link.Download.DownloadRunning) {
    DownloadStep(state_.Link, window_.get());
    if (!state_.Link.Download.DownloadRunning) {
      ArchiveEndedRead();
    }
  }
}

bool Application::CloseRequested() {
  return ConfirmStopRead();
}

void Application::StopRequested() {
  ConfirmStopRead();
}

bool Application::ConfirmStopRead() {
  if (!state_.Link.Download.DownloadRunning) {
    return true;
  }
  // The download timer keeps ticking while the question is open, so the Read may end meanwhile.
  if (boxes_.AskDefaultNo(msg::kOwnText, kStopReadQuestion) != Answer::Yes) {
    return !state_.Link.Download.DownloadRunning;
  }
  if (state_.Link.Download.DownloadRunning) {
    StopRead();
  }
  return true;
}

void Application::StopRead() {
  EndDownload(state_.Link, window_.get());
  ArchiveEndedRead();
}

void Application::ArchiveEndedRead() {
  const DownloadState& download = state_.Link.Download;
  const bool complete =
      download.ProgressTotal > 0 && download.ProgressDone == download.ProgressTotal;
  state_.LastSurvey =
      archiver_.Archive(state_.Image, complete, state_.SharedComAccess.get(), boxes_);
  RefreshTitle();
}

void Application::RefreshTitle() {
  const std::string title =
      MainWindowTitle(state_.AppCaption, state_.LastSurvey, MeterInUse(state_));
  if (window_ != nullptr && title != title_) {
    title_ = title;
    window_->ShowTitle(title_);
  }
}

void Application::WindowDestroyed() {
  closed_ = true;
  // A Read in progress ends as the user's stop: "END" to the meter, the port closed, and what was
  // read kept in the archive.
  if (state_.Link.Download.DownloadRunning) {
    StopRead();
  } else {
    EndDownload(state_.Link, window_.get());
  }
  // Ending a loop that does not run yet would make every later modal window end at once.
  if (inEventLoop_) {
    shell_.QuitEventLoop(0);
  }
}

ProgressView Application::Progress() const {
  const DownloadState& download = state_.Link.Download;
  return {download.DownloadRunning, download.ProgressShown, download.ProgressTotal};
}

void Application::CreateMainWindow() {
  state_.Link.Download.DownloadRunning = false;
  MainWindowCallbacks callbacks;
  callbacks.command = [this](int commandId) { Command(commandId); };
  callbacks.timerTick = [this](int timerId) { TimerTick(timerId); };
  callbacks.destroyed = [this] { WindowDestroyed(); };
  callbacks.closing = [this] { return CloseRequested(); };
  callbacks.stop = [this] { StopRequested(); };
  callbacks.progress = [this] { return Progress(); };
  window_ = shell_.CreateMainWindow(state_.AppCaption, std::move(callbacks));
  title_ = state_.AppCaption;
  // The demo meter is named in the title from the start; message boxes keep the plain caption.
  RefreshTitle();
}

bool Application::LoadDriver(std::string& problem) {
  state_.Driver = services_.loadDriver ? services_.loadDriver(problem) : nullptr;
  state_.Link.DriverLibrary = state_.Driver ? &state_.Driver->functions : nullptr;
  return state_.Driver != nullptr;
}

bool Application::CreateSharedComAccess() {
  state_.SharedComAccess =
      services_.makeComAccess ? services_.makeComAccess(state_.Driver->functions) : nullptr;
  state_.Link.SharedPort = state_.SharedComAccess.get();
  return state_.SharedComAccess != nullptr;
}

void Application::DestroySharedComAccess() {
  // The port object makes no driver call when it goes, so a port still open is closed first.
  if (state_.SharedComAccess != nullptr) {
    state_.SharedComAccess->Close();
  }
  state_.Link.SharedPort = nullptr;
  state_.SharedComAccess.reset();
}

}  // namespace klxr
