// What the team archive's commands share: the server named by KLXR_TEAM_ARCHIVE, opened.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "archive/team/team_archive.h"
#include "cli/cli_command.h"

namespace klxr::cli {

// The connection string KLXR_TEAM_ARCHIVE holds; none after the reason was told (no team archive
// in this build, or none named).
std::optional<std::string> TeamConnectionString(CliContext& context);

// The team archive, connected and of this program's schema; null after the reason was told.
std::unique_ptr<archive::TeamArchive> OpenTeamArchive(CliContext& context);

}  // namespace klxr::cli
