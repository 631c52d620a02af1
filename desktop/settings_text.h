// The text of the per-user settings file that keeps the remembered folders: INI text as it has
// always been written, a "[General]" section of "Name=value" lines, for example
//   [General]
//   LogLoadDir=/home/ann/logs
//   LogSaveDir="/home/ann/site 4; north"
// A value is a string, written in quotes when it holds ';', ',' or '=' or starts or ends with a
// blank; '\' and '"' are escaped with a '\', control characters as \a \b \f \n \r \t \v or \xHH,
// and a value starting with '@' gets a second '@'. Other bytes (UTF-8) stand as they are. A ';'
// outside quotes starts a comment; lines of other sections, comments and unknown names are kept
// as they stand when a value is set.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace klxr {

// The string value of a name of the general section (lines before any section, or under
// "[General]"); the last line of the name counts. nullopt when the name is not there or its
// value is not a single string (a list, or another type of value).
std::optional<std::string> FindSettingsValue(std::string_view text, std::string_view name);

// The text with the name's value set in the general section: its line replaced where it stands,
// else a line added at the end of the section, which is made when missing. Every other line stays.
std::string SetSettingsValue(std::string_view text, std::string_view name, std::string_view value);

// A string value as it stands after "Name=", and back: nullopt for a list or another type.
std::string EscapeSettingsValue(std::string_view value);
std::optional<std::string> UnescapeSettingsValue(std::string_view escaped);

}  // namespace klxr
