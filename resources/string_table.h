// The program's string table: every text the program shows, addressed by its numeric string id.
#pragma once

#include <span>
#include <string_view>

namespace klxr {

// One text of the table and its string id.
struct StringEntry {
  int id;
  std::string_view text;
};

// String id of the program's caption, used as the main window title and the caption of every box.
inline constexpr int kCaptionStringId = 167;

// The text stored under a string id; the empty text when the table holds no such id.
std::string_view LoadString(int stringId);

// Every entry of the table, in ascending id order: what the Windows resources' string table holds.
std::span<const StringEntry> StringTableEntries();

}  // namespace klxr
