// The control ids of the "History" window and its two dialogs, the same in both shells, so that
// automation scripts ("click ID") and tests reach the same control on either.
#pragma once

namespace klxr::history {

// "History": the list of surveys and the actions on the one selected. Close is Cancel (2), as
// Escape is.
inline constexpr int kList = 1200;
inline constexpr int kOpen = 1201;
inline constexpr int kLabel = 1202;
inline constexpr int kExport = 1203;
inline constexpr int kCompare = 1204;
inline constexpr int kForget = 1205;
inline constexpr int kExportFormat = 1206;
inline constexpr int kStatus = 1207;
// Push and Pull with the team archive (the Qt shell only: the Windows builds have none).
inline constexpr int kPush = 1208;
inline constexpr int kPull = 1209;
inline constexpr int kClose = 2;

// The comparison: its title, table, summary and units; Close is OK (1).
inline constexpr int kComparisonTitle = 1210;
inline constexpr int kComparisonTable = 1211;
inline constexpr int kComparisonSummary = 1212;
inline constexpr int kComparisonUnits = 1213;
inline constexpr int kComparisonClose = 1;

// The label dialog: the site and the note; OK (1) and Cancel (2).
inline constexpr int kLabelSite = 1220;
inline constexpr int kLabelNote = 1221;

}  // namespace klxr::history
