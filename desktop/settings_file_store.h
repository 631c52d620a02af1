// The settings file that keeps the program's settings where there is no registry (the remembered
// folders, ArchiveSurveys, TeamArchive): klxr-log/settings.ini in the user's configuration folder
// ($XDG_CONFIG_HOME, default ~/.config on Linux), with the registry's value names; the environment
// variable KLXR_SETTINGS_FILE names another file, on every platform. Earlier versions kept the
// same values in KLXRPlusData.ini right in the configuration folder: MoveOldSettingsFile moves
// them once, and until it has, that file stays the one in use.
//
// The file is read and written as every file of the program: a FIFO, device or socket is never
// read and is written into, never replaced (a link to a device stays a link to the device); a
// regular file is replaced atomically, keeping every line but the value's own. A regular file that
// cannot be read is left as it is, so that its other folders are not lost.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "desktop/settings_store.h"

namespace klxr {

inline constexpr char kSettingsFileVariable[] = "KLXR_SETTINGS_FILE";

// The file KLXR_SETTINGS_FILE names; nullopt when it is not set or empty.
std::optional<std::string> SettingsFileFromEnvironment();

// The settings file of the current user: the one KLXR_SETTINGS_FILE names, else ChosenSettingsFile
// of the files below.
std::string UserSettingsFile();
// klxr-log/settings.ini in the user's configuration folder.
std::string NewSettingsFile();
// KLXRPlusData.ini in the user's configuration folder, where earlier versions kept the values.
std::string OldSettingsFile();
// The file in use: the new one when it exists, else the old one when that exists (never moved, or
// its move failed, so that no value is lost), else the new one.
std::string ChosenSettingsFile(const std::string& newFile, const std::string& oldFile);

enum class SettingsMove {
  kNothingToMove,  // no old file, or the new one exists already (it wins; the old is left)
  kMoved,          // the new file holds the old one's text and the old one is gone
  kOldKept,        // the new file could not be written: the old one stays in use
};
// Moves the old file's whole text (every value, names unchanged) into the new file, written
// atomically, then removes the old file. Does nothing while the new file exists or the old one is
// not a regular file.
SettingsMove MoveSettingsFile(const std::string& oldFile, const std::string& newFile);
// The move for the current user at the program's start; nothing when KLXR_SETTINGS_FILE is set.
SettingsMove MoveOldSettingsFile();

// The detail of the box that reports a folder not remembered: the file and what went wrong.
std::string SettingsProblemDetail(const std::string& file, std::string_view problem);

class SettingsFileStore final : public SettingsStore {
 public:
  explicit SettingsFileStore(std::string file) : file_(std::move(file)) {}

  const std::string& File() const { return file_; }

  // Nothing when the file is missing, not a regular file (a read never waits on a FIFO),
  // unreadable or larger than a settings file of this program can be.
  std::optional<std::string> ReadValue(std::string_view name) override;
  std::optional<std::string> WriteValue(std::string_view name, std::string_view value) override;

 private:
  std::string file_;
};

}  // namespace klxr
