#include "cli/survey_operands.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cli/cli_command.h"
#include "cli/exit_status.h"
#include "cli/file_operands.h"
#include "log/data_text.h"
#include "log/log_files.h"

namespace klxr::cli {
namespace {

namespace fs = std::filesystem;

// True when something stands at the path (a link counts, also a dangling one: the load then
// reports it as it reports any file that cannot be read).
bool PathExists(const std::string& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

}  // namespace

int ResolveSurveyOperand(const std::string& operand, std::string_view operandName,
                         std::string_view command, LogImage& image, SurveyFacts& facts,
                         CliContext& context) {
  if (IsStandardStream(operand) || PathExists(operand)) {
    const int loaded = IsStandardStream(operand)
                           ? LoadLogStream(image, stdin, nullptr, context.boxes, false)
                           : LoadLogFile(image, operand, nullptr, context.boxes, false);
    if (loaded != 0) {
      return kExitUsage;
    }
    facts.readTime = IsStandardStream(operand) ? "" : FileTimeText(operand);
    return kExitOk;
  }
  for (const SurveyLookup& lookup : context.surveyLookups) {
    switch (lookup(operand, image, facts, context)) {
      case LookupOutcome::Found:
        return kExitOk;
      case LookupOutcome::Failed:
        return kExitUsage;
      case LookupOutcome::NotFound:
        break;
    }
  }
  context.err << "klxr-log-cli " << command << ": " << operandName << " '" << operand
              << "': no such file\n";
  return kExitUsage;
}

std::string FileTimeText(const std::string& path) {
  std::error_code error;
  const fs::file_time_type time = fs::last_write_time(path, error);
  if (error) {
    return "";
  }
  return Iso8601Utc(std::chrono::file_clock::to_sys(time));
}

}  // namespace klxr::cli
