// klxr-log-cli read [--out LOG.tlg] [--csv OUT.csv] [--device N|SERIAL] [--progress] [--force]
// [--no-archive]: reads the whole log from the meter through the same download conversation as the
// program's Read command, with its progress on standard error, keeps it in the survey archive,
// then saves it, exports it, or prints its records.
// Both files are checked before the meter is asked anything; "-" writes to standard output. Ctrl-C
// stops the conversation and leaves the outputs alone.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>

#include "cli/arguments.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "cli/option_values.h"
#include "cli/read_archive.h"
#include "cli/terminal_download_window.h"
#include "link/com_access.h"
#include "link/log_download.h"
#include "log/file_writer.h"
#include "log/log_files.h"
#include "log/record_format.h"
#include "platform/console.h"
#include "platform/environment.h"

namespace klxr::cli {
namespace {

// The exit status of a tool stopped by Ctrl-C, as a shell reports it (128 + SIGINT).
constexpr int kExitInterrupted = 130;

// The files the log goes to: the value of --out or --csv, or empty when the option was not given.
struct Outputs {
  std::string log;
  std::string csv;
};

Outputs OutputsOf(const OptionValues& options) {
  Outputs outputs;
  if (const auto out = options.values.find("--out"); out != options.values.end()) {
    outputs.log = out->second;
  }
  if (const auto csv = options.values.find("--csv"); csv != options.values.end()) {
    outputs.csv = csv->second;
  }
  return outputs;
}

// The outputs' checks, holding open a device or FIFO among them until the log is delivered.
struct CheckedOutputs {
  OutputCheck log;
  OutputCheck csv;
};

// Reports an output that cannot be written: the program's message, then the file and the reason.
void ReportUnwritable(std::string_view name, const std::string& path, int error,
                      CliContext& context) {
  ShowMessage(context.boxes, msg::kCantSaveProgramImage, BoxKind::Error);
  std::error_code ignored;
  const bool unread = error == ENXIO && std::filesystem::is_fifo(path, ignored);
  context.err << "klxr-log-cli read: cannot write " << name << " '" << path
              << "': " << std::strerror(error) << (unread ? " (a FIFO that nobody reads)" : "")
              << "\n";
}

// Before the meter is asked anything: the two outputs are distinct files and both can be written
// (a FIFO has a reader). Returns kExitOk, or the exit status of the refusal that was reported.
int CheckOutputs(const Outputs& outputs, CheckedOutputs& checked, CliContext& context) {
  if (!outputs.log.empty() && !outputs.csv.empty() &&
      RefuseSameFiles(context, "read",
                      {{outputs.log, "LOG.tlg", true}, {outputs.csv, "OUT.csv", true}}) !=
          kExitOk) {
    return kExitUsage;
  }
  const struct {
    const std::string& path;
    std::string_view name;
    OutputCheck& check;
  } files[] = {{outputs.log, "LOG.tlg", checked.log}, {outputs.csv, "OUT.csv", checked.csv}};
  for (const auto& file : files) {
    if (!file.path.empty() && !IsStandardStream(file.path) &&
        CheckFileCanBeWritten(file.path, &file.check) != FileStatus::Ok) {
      ReportUnwritable(file.name, file.path, file.check.error, context);
      return kExitFailure;
    }
  }
  return kExitOk;
}

// A read that found no record does not replace a log file that holds records unless --force says
// so: the log read is empty, so refusing loses nothing, while replacing would lose the file's.
bool RefuseEmptyOverRecords(const std::string& path, bool force, CliContext& context) {
  if (path.empty() || IsStandardStream(path) || force) {
    return false;
  }
  const int held = CountFileRecords(path);
  if (held == 0) {
    return false;
  }
  context.err << "klxr-log-cli read: the meter's log holds no record; LOG.tlg '" << path
              << "' holds " << held << (held == 1 ? " record" : " records")
              << " and was left as it was (--force replaces it)\n";
  return true;
}

bool SaveLog(const LogImage& image, const std::string& path, CliContext& context) {
  if (IsStandardStream(path)) {
    return WriteToOutput(
        context,
        std::string_view(reinterpret_cast<const char*>(image.bytes.data()), image.bytes.size()));
  }
  return SaveLogFile(image, path, context.boxes, false) == 0;
}

bool ExportLog(const LogImage& image, int count, const std::string& path, CliContext& context) {
  if (IsStandardStream(path)) {
    return WriteToOutput(context, MakeCsvText(image, count));
  }
  return ExportCsv(image, path, count, context.boxes, false) == 0;
}

// Saves, exports or prints the log that was read; returns the exit status.
int DeliverLog(const LogImage& image, const OptionValues& options, bool force,
               CliContext& context) {
  const int count = CountRecords(image, nullptr);
  const Outputs outputs = OutputsOf(options);
  if (count == 0 && RefuseEmptyOverRecords(outputs.log, force, context)) {
    return kExitFailure;
  }
  if (!outputs.log.empty() && !SaveLog(image, outputs.log, context)) {
    return kExitFailure;
  }
  if (!outputs.csv.empty()) {
    if (CountRecordsOrReport(image, context.boxes) == 0 ||
        !ExportLog(image, count, outputs.csv, context)) {
      return kExitFailure;
    }
  }
  if (outputs.log.empty() && outputs.csv.empty() &&
      !PrintDisplayLines(image, count, kUnitsDbm, context.out, context.outIsUtf8Terminal)) {
    return ReportOutputFailure(context, errno);
  }
  return kExitOk;
}

ProgressStyle StyleOf(const ParsedArguments& parsed, const CliContext& context) {
  if (parsed.options.count("--progress") != 0) {
    return ProgressStyle::kPlainLines;
  }
  return context.errIsTerminal ? ProgressStyle::kLiveLine : ProgressStyle::kNone;
}

// The width of the terminal on standard error; else COLUMNS; the common 80 columns when neither
// tells.
int StandardErrorColumns() {
  constexpr int kCommonWidth = 80;
  const int columns = platform::StandardErrorColumns();
  if (columns > 0) {
    return columns;
  }
  const int named = std::atoi(platform::EnvironmentValue("COLUMNS").c_str());
  return named > 0 ? named : kCommonWidth;
}

// The width of the terminal when it was resized since the last redraw; 0 when it was not.
int ColumnsAfterResize() {
  return platform::TakeTerminalResized() ? StandardErrorColumns() : 0;
}

}  // namespace

int ReadCommand(const std::vector<std::string>& arguments, CliContext& context,
                const MeterConnection& connection) {
  const OptionValues options = TakeOptionValues(arguments, {"--out", "--csv", "--device"});
  const ParsedArguments parsed =
      options.error.empty()
          ? ParseArguments(options.rest, {"--progress", "--force", "--no-archive"}, {})
          : ParsedArguments{};
  if (!options.error.empty() || !parsed.error.empty()) {
    return ReportUsageError(context, "read", options.error.empty() ? parsed.error : options.error);
  }
  CheckedOutputs checked;
  if (const int refused = CheckOutputs(OutputsOf(options), checked, context); refused != kExitOk) {
    return refused;
  }
  if (connection.driver == nullptr) {
    ReportDriverProblem(context, connection);
  }

  LogImage image;
  ReadProgress progress(context.err, StyleOf(parsed, context), connection.clock, context.errColumns,
                        context.errIsTerminal ? ColumnsAfterResize : ResizedColumns{});
  ProgressMessageBoxes boxes(context.boxes, progress);
  MeterLink link(image, boxes);
  link.DriverLibrary = connection.driver;
  link.Sleep = connection.sleep;
  link.Now = connection.now;
  link.Transfer = connection.transfer;
  std::optional<ComAccess> port;
  if (connection.driver != nullptr) {
    const std::optional<std::int32_t> device =
        PickDevice(options, *connection.driver, context, "read");
    if (!device) {
      return kExitFailure;
    }
    link.DeviceIndex = *device;
    link.SharedPort = &port.emplace(*connection.driver);
  }
  TerminalDownloadWindow window(link.Download, progress);
  StartDownload(link, &window);
  const bool stopped = RunDownloadTimer(link, window, connection.stopRequested);
  progress.End();
  if (stopped || connection.stopRequested()) {
    context.err << "klxr-log-cli read: interrupted after " << link.Download.RecordsReceived
                << (link.Download.RecordsReceived == 1 ? " record" : " records")
                << "; nothing was written\n";
    return kExitInterrupted;
  }
  // The archive keeps the log before any output is written, also the part of a failed transfer.
  const bool complete = boxes.Shown(msg::kTransferComplete);
  if (complete) {
    progress.Summarize(link.Download.RecordsReceived);
  }
  if (parsed.options.count("--no-archive") == 0) {
    ArchiveReadLog(image, complete, port ? &*port : nullptr, context);
  }
  if (!complete) {
    return kExitFailure;
  }
  return DeliverLog(image, options, parsed.options.count("--force") != 0, context);
}

int RunRead(const std::vector<std::string>& arguments, CliContext& context) {
  const InterruptCatcher catcher;
  const bool isTerminal = platform::StandardErrorIsTerminal();
  CliContext terminal = context;
  terminal.errIsTerminal = isTerminal;
  terminal.errColumns = isTerminal ? StandardErrorColumns() : 0;
  if (isTerminal) {
    platform::WatchTerminalResizes();
  }
  return RunWithLoadedDriver(ReadCommand, arguments, terminal);
}

}  // namespace klxr::cli
