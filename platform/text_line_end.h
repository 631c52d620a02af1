// How the system's own text files end their lines.
#pragma once

#include <string_view>

namespace klxr::platform {

// "\r\n" on Windows, "\n" elsewhere.
std::string_view TextLineEnd();

}  // namespace klxr::platform
