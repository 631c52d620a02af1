// File names as UTF-8, for libraries that take them so whatever the system's own 8-bit form is
// (SQLite on Windows, where the program's names are in the ANSI code page).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace klxr::platform {

// The UTF-8 form of a name held in the system's 8-bit form; nullopt when the name is not valid
// in that form. On POSIX systems a name is its own UTF-8 form: its bytes go to the system as
// they are.
std::optional<std::string> Utf8NameOf(std::string_view name);

}  // namespace klxr::platform
