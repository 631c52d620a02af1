// Keeping a read's log in the survey archive before its outputs are written: complete, or with the
// records that arrived when the transfer failed part-way. The archive never stops the read: a
// problem with it is told in one line on standard error and the read goes on.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_command.h"
#include "link/com_access.h"
#include "log/log_image.h"

namespace klxr::cli {

// Archives the image read and tells its survey id on standard error in one short line, or why it
// was not kept. A failed transfer that brought no record is not archived.
void ArchiveReadLog(const LogImage& image, bool complete, const ComAccess* port,
                    CliContext& context);

}  // namespace klxr::cli
