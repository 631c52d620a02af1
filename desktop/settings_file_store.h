// The settings file that keeps the remembered folders where there is no registry: KLXRPlusData.ini
// in the user's configuration folder (~/.config on Linux), with the registry's value names; the
// environment variable KLXR_SETTINGS_FILE names another file, on every platform.
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

// The settings file of the current user: the one KLXR_SETTINGS_FILE names, else KLXRPlusData.ini
// in the user's configuration folder.
std::string UserSettingsFile();

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
