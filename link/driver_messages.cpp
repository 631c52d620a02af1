#include "link/driver_messages.h"

#include <algorithm>
#include <array>

#include "platform/shared_library.h"

namespace klxr {
namespace {

// Where the package puts the udev rule that lets the user at the computer open the lead.
constexpr std::string_view kUdevRulePath = "/lib/udev/rules.d/70-klxr-meter.rules";

// The default driver of this platform, as a user would look for it.
std::string DefaultDriverName() {
#if defined(__linux__)
  return std::string("the open driver ") + kOpenDriverFileName + " beside the program";
#else
  return platform::DefaultDriverLibraryName();
#endif
}

// Where the default driver is looked for and how to get it back.
std::string DefaultDriverAdvice() {
#if defined(__linux__)
  return DriverSearchText() + " Reinstall the program, or build the open driver, to put it back.";
#else
  return DriverSearchText() + " Install the adapter maker's driver for the lead, or copy " +
         platform::DefaultDriverLibraryName() + " beside the program.";
#endif
}

std::string Advice(const DriverLoadDiagnosis& diagnosis) {
  if (diagnosis.namedByEnvironment) {
    return std::string(kDriverLibraryVariable) +
           " names this file: correct the variable, or unset it to use the default driver (" +
           DefaultDriverName() + ").";
  }
  return DefaultDriverAdvice();
}

// The system's reason without the file's name, which the loader of some systems puts first.
std::string_view ReasonWithoutName(const DriverLoadAttempt& attempt) {
  std::string_view reason = attempt.problem;
  const std::string prefix = attempt.libraryName + ": ";
  if (reason.starts_with(prefix)) {
    reason.remove_prefix(prefix.size());
  }
  return reason;
}

// "FILE (REASON); FILE (REASON)" for the attempts, leaving one out (none: skip past the end).
std::string ListAttempts(const std::vector<DriverLoadAttempt>& attempts, std::size_t skip) {
  std::string list;
  for (std::size_t i = 0; i < attempts.size(); ++i) {
    if (i == skip) {
      continue;
    }
    list += (list.empty() ? "" : "; ") + attempts[i].libraryName + " (" +
            std::string(ReasonWithoutName(attempts[i])) + ")";
  }
  return list;
}

std::vector<DriverLoadAttempt> AttemptsOf(const DriverLoadDiagnosis& diagnosis) {
  if (!diagnosis.attempts.empty()) {
    return diagnosis.attempts;
  }
  return {{diagnosis.libraryName, diagnosis.problem, diagnosis.missingFunction}};
}

std::string Lead(std::int32_t deviceIndex) {
  return "The USB lead (device " + std::to_string(deviceIndex) + ")";
}

}  // namespace

std::string DriverSearchText() {
  const std::string vendorFile = platform::DefaultDriverLibraryName();
  const std::string variable = std::string("The environment variable ") + kDriverLibraryVariable +
                               " names another driver file instead.";
#if defined(__linux__)
  return std::string("The open driver ") + kOpenDriverFileName +
         " is the default: it comes with the program and is looked for in ../lib/klxr-log/ "
         "beside the program's folder (../open-driver/ in a build tree); the adapter maker's " +
         vendorFile + " is tried after it. " + variable;
#else
  return "The adapter maker's driver " + vendorFile +
         " is looked for beside the program and on the system's search path. " + variable;
#endif
}

DriverSituation SituationOfOpenFailure(d2xx::FT_STATUS status) {
  switch (status) {
    case d2xx::FT_DEVICE_NOT_FOUND:
      return DriverSituation::kNoLead;
    case d2xx::FT_DEVICE_NOT_OPENED:
      return DriverSituation::kLeadInUse;
    case d2xx::kOpenNotPermitted:
      return DriverSituation::kNoPermission;
    default:
      return DriverSituation::kLeadFailed;
  }
}

DriverSituation SituationOfLoadFailure(const DriverLoadDiagnosis& diagnosis) {
  const std::vector<DriverLoadAttempt> attempts = AttemptsOf(diagnosis);
  const bool lacksFunction = std::any_of(
      attempts.begin(), attempts.end(),
      [](const DriverLoadAttempt& attempt) { return !attempt.missingFunction.empty(); });
  return lacksFunction ? DriverSituation::kFunctionMissing : DriverSituation::kLibraryMissing;
}

std::string DriverStatusName(d2xx::FT_STATUS status) {
  const std::string_view name = d2xx::StatusName(status);
  return name == "FT_UNKNOWN_STATUS" ? "status " + std::to_string(status) : std::string(name);
}

std::string LibraryProblemText(const DriverLoadDiagnosis& diagnosis) {
  const std::vector<DriverLoadAttempt> attempts = AttemptsOf(diagnosis);
  const auto lacking = std::find_if(
      attempts.begin(), attempts.end(),
      [](const DriverLoadAttempt& attempt) { return !attempt.missingFunction.empty(); });
  if (lacking == attempts.end()) {
    return "No USB driver library could be loaded. Tried: " +
           ListAttempts(attempts, attempts.size()) + ". " + Advice(diagnosis);
  }
  std::string text = "The USB driver library " + lacking->libraryName +
                     " was loaded but has no function " + lacking->missingFunction +
                     ", which the program needs: it is not an adapter driver the program can use.";
  const std::string others =
      ListAttempts(attempts, static_cast<std::size_t>(lacking - attempts.begin()));
  if (!others.empty()) {
    text += " Also tried: " + others + ".";
  }
  return text + " " + Advice(diagnosis);
}

std::string LeadProblemText(std::int32_t deviceIndex, d2xx::FT_STATUS status) {
  switch (SituationOfOpenFailure(status)) {
    case DriverSituation::kNoLead:
      return "No USB lead is attached as device " + std::to_string(deviceIndex) +
             ": the driver finds no adapter there. Connect the meter's lead, wait a few seconds "
             "and try again.";
    case DriverSituation::kLeadInUse:
      return Lead(deviceIndex) +
             " is in use: another program has it open. Close that program, or let it finish, "
             "and try again.";
    case DriverSituation::kNoPermission:
      return Lead(deviceIndex) +
             " was found, but this user may not open it: the system refused write access to its "
             "USB device node (under /dev/bus/usb/). The program's package installs the udev "
             "rule " +
             std::string(kUdevRulePath) +
             ", which gives the user logged in at the computer access to the lead: install the "
             "package (or copy the rule there), then unplug the lead and plug it in again. A user "
             "not logged in at the computer needs a group that may write the node: add the user "
             "to it and log in again.";
    default:
      return Lead(deviceIndex) + " could not be used: the driver answered " +
             DriverStatusName(status) + ". Unplug the lead, plug it in again and try again.";
  }
}

}  // namespace klxr
