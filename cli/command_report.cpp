// klxr-log-cli report LOG.tlg OUT.pdf [--dbuv] [--title T] [--site S] [--installer I] [--letter]
// [--compare A]: the PDF report of a log for the customer, with what changed since survey A. Where
// the report is painted with Qt Gui, it is on the offscreen platform, so it needs no display.
#include "cli/arguments.h"
#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "cli/option_values.h"
#include "cli/survey_operands.h"
#include "log/log_files.h"

#ifdef KLXR_HAVE_REPORT
#include "platform/utf8_name.h"
#include "report/report_file.h"
#endif
#ifdef KLXR_REPORT_QT
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#endif

namespace klxr::cli {
namespace {

#ifdef KLXR_REPORT_QT

// Qt's own notes on the platform's set-up (a missing runtime folder and the like) are not the
// tool's messages: only its critical and fatal ones reach standard error.
void KeepQtNotesQuiet(QtMsgType type, const QMessageLogContext& /*context*/,
                      const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

// A QGuiApplication for the painting when the process has none; offscreen unless the environment
// names a platform.
std::unique_ptr<QGuiApplication> MakeGuiApplication() {
  if (QGuiApplication::instance() != nullptr) {
    return nullptr;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  qInstallMessageHandler(KeepQtNotesQuiet);
  static int argc = 1;
  static char name[] = "klxr-log-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

#endif

#ifdef KLXR_HAVE_REPORT

// A text of the command line (the system's 8-bit form) as UTF-8, as the report takes its texts.
std::string Utf8Text(const std::string& text) {
  return platform::Utf8NameOf(text).value_or(text);
}

std::string ArgumentText(const std::map<std::string, std::string, std::less<>>& values,
                         std::string_view name) {
  const auto found = values.find(name);
  return found == values.end() ? std::string() : Utf8Text(found->second);
}

// How the report names the earlier survey: its survey in the archive, or its file.
std::string EarlierSurveyName(const std::string& operand, const SurveyFacts& facts) {
  if (facts.surveyId.empty()) {
    return Utf8Text(operand);
  }
  std::string name = "survey " + facts.surveyId;
  if (!facts.readTime.empty()) {
    name += " read " + facts.readTime;
  }
  if (!facts.site.empty()) {
    name += " at " + facts.site;
  }
  return name;
}

int WriteReport(const LogImage& image, const OptionValues& values, const ParsedArguments& parsed,
                CliContext& context) {
  LogImage before;
  SurveyFacts beforeFacts;
  const auto compared = values.values.find("--compare");
  if (compared != values.values.end() && IsStandardStream(compared->second) &&
      IsStandardStream(parsed.operands[0])) {
    return ReportUsageError(context, "report", "LOG.tlg and A cannot both be standard input");
  }
  if (compared != values.values.end() &&
      ResolveSurveyOperand(compared->second, "A", "report", before, beforeFacts, context) !=
          kExitOk) {
    return kExitUsage;
  }
#ifdef KLXR_REPORT_QT
  const auto application = MakeGuiApplication();
#endif
  report::ReportOptions options;
  if (compared != values.values.end()) {
    options.before = &before;
    options.beforeName = EarlierSurveyName(compared->second, beforeFacts);
  }
  if (values.values.count("--title") != 0) {
    options.title = ArgumentText(values.values, "--title");
  }
  options.site = ArgumentText(values.values, "--site");
  options.installer = ArgumentText(values.values, "--installer");
  options.units = parsed.options.count("--dbuv") != 0 ? kUnitsDbuv : kUnitsDbm;
  options.letter = parsed.options.count("--letter") != 0;
  // A log from standard input has no file to date.
  if (const std::string& log = parsed.operands[0]; !IsStandardStream(log)) {
    options.logFileTime = LogFileTime(log);
  }
  const std::string& path = parsed.operands[1];
  if (IsStandardStream(path)) {
    return WriteToOutput(context, report::RenderReport(image, options)) ? kExitOk : kExitFailure;
  }
  return report::SaveReport(image, options, path, context.boxes, false) == 0 ? kExitOk
                                                                             : kExitFailure;
}

#endif

}  // namespace

int RunReport(const std::vector<std::string>& arguments, CliContext& context) {
  const OptionValues values =
      TakeOptionValues(arguments, {"--title", "--site", "--installer", "--compare"});
  if (!values.error.empty()) {
    return ReportUsageError(context, "report", values.error);
  }
  const ParsedArguments parsed =
      ParseArguments(values.rest, {"--dbuv", "--letter"}, {"LOG.tlg", "OUT.pdf"});
  if (!parsed.error.empty()) {
    return ReportUsageError(context, "report", parsed.error);
  }
  if (RefuseSameFiles(context, "report",
                      {{parsed.operands[0], "LOG.tlg", false},
                       {parsed.operands[1], "OUT.pdf", true}}) != kExitOk) {
    return kExitUsage;
  }
#ifdef KLXR_HAVE_REPORT
  // A log without records still makes a report: the customer learns that nothing was measured.
  LogImage image;
  const std::string& log = parsed.operands[0];
  const int loaded = IsStandardStream(log)
                         ? LoadLogStream(image, stdin, nullptr, context.boxes, false)
                         : LoadLogFile(image, log, nullptr, context.boxes, false);
  if (loaded != 0) {
    return kExitFailure;
  }
  return WriteReport(image, values, parsed, context);
#else
  context.err << "klxr-log-cli report: the PDF report is not available in this build\n";
  return kExitFailure;
#endif
}

}  // namespace klxr::cli
