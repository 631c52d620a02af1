// The facts of a .tlg file brought into the archive by "history import": dated by the file's
// modification time (the closest the file says to when it was read), source 'import'.
#pragma once

#include <string>

#include "archive/survey.h"

namespace klxr::archive {

// When the file's time cannot be read, the time now.
SurveyFacts ImportFacts(const std::string& path, std::string site);

}  // namespace klxr::archive
