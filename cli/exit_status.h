// The exit statuses of klxr-log-cli.
#pragma once

namespace klxr::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the reason went to standard error as a message text
inline constexpr int kExitUsage = 2;    // bad command line; a usage hint went to standard error

// "compare" answers a question, as diff and cmp do: 0 nothing got worse, kExitSomethingWorse
// something did, and kExitUsage also for an operand that names no log, so that a script never
// takes a missing file for a worse survey.
inline constexpr int kExitSomethingWorse = 1;

}  // namespace klxr::cli
