// The exit statuses of klxr-log-cli.
#pragma once

namespace klxr::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the reason went to standard error as a message text
inline constexpr int kExitUsage = 2;    // bad command line; a usage hint went to standard error

}  // namespace klxr::cli
