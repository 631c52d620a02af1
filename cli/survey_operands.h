// The operands of "compare": each names a survey, as a .tlg file ("-": standard input) or, through
// the lookups the tool is given, by another name (a survey id of the archive). A name that is
// neither is "no such file".
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "log/log_image.h"
#include "log/tidy_export.h"

namespace klxr::cli {

struct CliContext;

enum class LookupOutcome {
  NotFound,  // the name means nothing to this lookup: the next one is asked
  Found,     // image and facts were filled
  Failed,    // the name was found but its log could not be had; the lookup reported why
};

using SurveyLookup = std::function<LookupOutcome(const std::string& name, LogImage& image,
                                                 SurveyFacts& facts, CliContext& context)>;

// Fills image and facts from the operand: a file (or "-") first, then each of the context's
// lookups in turn. Returns kExitOk, or kExitUsage after the reason was reported ("no such file",
// or the program's message on a file that is no log).
int ResolveSurveyOperand(const std::string& operand, std::string_view operandName,
                         std::string_view command, LogImage& image, SurveyFacts& facts,
                         CliContext& context);

// The modification time of the file at path as ISO 8601 UTC; empty when it cannot be had.
std::string FileTimeText(const std::string& path);

}  // namespace klxr::cli
