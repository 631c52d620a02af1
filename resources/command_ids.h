// Numeric command ids of the main window's menu and accelerators, and of the download timer.
#pragma once

namespace klxr::cmd {

inline constexpr int kLoad = 32780;
inline constexpr int kSave = 32784;
inline constexpr int kExport = 32806;
inline constexpr int kEraseLog = 32782;
inline constexpr int kExit = 32771;
inline constexpr int kRead = 32779;
inline constexpr int kView = 32807;
inline constexpr int kAbout = 104;
inline constexpr int kVersion = 32801;

// The program's own commands, beyond the menu above, numbered apart from its ids.
inline constexpr int kHistory = 32850;
inline constexpr int kReport = 32851;

// The main window's timer that drives the log download, one step per tick.
inline constexpr int kDownloadTimerId = 12345;
inline constexpr int kDownloadTimerPeriodMs = 1;

}  // namespace klxr::cmd
