// The file chooser of each command that uses one: the folder it remembers (a value name of the
// remembered folders), whether it chooses a file to write, the extensions it lists and the
// extension it gives a new name.
#pragma once

#include <optional>
#include <string_view>

namespace klxr {

// Value names of the three remembered folders.
inline constexpr std::string_view kLogLoadDir = "LogLoadDir";
inline constexpr std::string_view kLogSaveDir = "LogSaveDir";
inline constexpr std::string_view kExportDir = "KLXRPlusExportDir";

struct ChooserCommand {
  std::string_view valueName;  // the remembered folder
  bool saveMode;
  std::string_view extensionFilter;
  std::optional<std::string_view> defaultExtension;  // nullopt: left as it is
};

inline constexpr ChooserCommand kLoadLogChooser{kLogLoadDir, false, ".tlg;", std::nullopt};
inline constexpr ChooserCommand kSaveLogChooser{kLogSaveDir, true, ".tlg;", ".tlg"};
inline constexpr ChooserCommand kExportCsvChooser{kExportDir, true, ".csv;", ".csv"};
// The log viewer's report starts, like the CSV export, in the export folder.
inline constexpr ChooserCommand kSaveReportChooser{kExportDir, true, ".pdf;", ".pdf"};

}  // namespace klxr
