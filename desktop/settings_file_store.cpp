#include "desktop/settings_file_store.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "desktop/settings_text.h"
#include "log/whole_file.h"
#include "platform/config_folder.h"
#include "platform/full_path.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;

// A settings file holds three folders; one larger than this is not one the program wrote, and is
// neither read nor rewritten.
constexpr std::size_t kSettingsFileLimit = 256 * 1024;

// Whether there is anything at the name, a broken link included.
bool Exists(const std::string& file) {
  std::error_code error;
  return fs::symlink_status(fs::path(file), error).type() != fs::file_type::not_found && !error;
}

std::string SystemReason(int error) {
  return std::generic_category().message(error);
}

// The settings file's text. Nothing when it cannot be read: missing, not a regular file (a FIFO
// or a device is never read, so a read never waits), unreadable, or too large (reason then says
// why, when the system gave a reason).
std::optional<std::string> ReadSettingsText(const std::string& file, std::string* reason) {
  std::vector<std::uint8_t> buffer(kSettingsFileLimit + 1);
  std::size_t bytesRead = 0;
  errno = 0;
  if (ReadFileStart(file, buffer, bytesRead) != FileStatus::Ok) {
    if (reason != nullptr) {
      *reason = errno != 0 ? SystemReason(errno) : "it is not a regular file";
    }
    return std::nullopt;
  }
  if (bytesRead > kSettingsFileLimit) {
    if (reason != nullptr) {
      *reason = "it is larger than a settings file of this program can be";
    }
    return std::nullopt;
  }
  return std::string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(bytesRead));
}

// The text a new value is set into: the file's text; nothing for a new file or a FIFO or device,
// which is written into but never read. A regular file that cannot be read is not rewritten
// (that would lose its other folders): the result is then the problem to report.
std::optional<std::string> TextToUpdate(const std::string& file, std::string& text) {
  std::error_code error;
  const fs::file_status status = fs::status(fs::path(file), error);
  if (status.type() == fs::file_type::not_found) {
    fs::create_directories(fs::path(file).parent_path(), error);
    if (error) {
      return "Its folder cannot be made: " + error.message() + ".";
    }
    return std::nullopt;
  }
  if (error) {
    return "It cannot be looked up: " + error.message() + ".";
  }
  if (status.type() != fs::file_type::regular) {
    return std::nullopt;
  }
  std::string reason;
  if (std::optional<std::string> read = ReadSettingsText(file, &reason)) {
    text = std::move(*read);
    return std::nullopt;
  }
  return "It cannot be read, so it is left as it is: " + reason + ".";
}

}  // namespace

std::optional<std::string> SettingsFileFromEnvironment() {
  const char* file = std::getenv(kSettingsFileVariable);
  if (file == nullptr || *file == '\0') {
    return std::nullopt;
  }
  return std::string(file);
}

std::string UserSettingsFile() {
  if (std::optional<std::string> file = SettingsFileFromEnvironment()) {
    return *file;
  }
  return ChosenSettingsFile(NewSettingsFile(), OldSettingsFile());
}

std::string NewSettingsFile() {
  const std::string separator(1, platform::PathSeparator());
  return platform::UserConfigFolder() + separator + "klxr-log" + separator + "settings.ini";
}

std::string OldSettingsFile() {
  return platform::UserConfigFolder() + platform::PathSeparator() + "KLXRPlusData.ini";
}

std::string ChosenSettingsFile(const std::string& newFile, const std::string& oldFile) {
  if (!Exists(newFile) && Exists(oldFile)) {
    return oldFile;
  }
  return newFile;
}

SettingsMove MoveSettingsFile(const std::string& oldFile, const std::string& newFile) {
  std::error_code error;
  if (Exists(newFile) || !fs::is_regular_file(fs::path(oldFile), error)) {
    return SettingsMove::kNothingToMove;
  }
  const std::optional<std::string> text = ReadSettingsText(oldFile, nullptr);
  if (!text) {
    return SettingsMove::kOldKept;
  }
  fs::create_directories(fs::path(newFile).parent_path(), error);
  if (error || ReplaceFile(newFile, *text) != FileStatus::Ok) {
    return SettingsMove::kOldKept;
  }
  // The values are safe in the new file, which wins from now on even if this fails.
  fs::remove(fs::path(oldFile), error);
  return SettingsMove::kMoved;
}

SettingsMove MoveOldSettingsFile() {
  if (SettingsFileFromEnvironment()) {
    return SettingsMove::kNothingToMove;
  }
  return MoveSettingsFile(OldSettingsFile(), NewSettingsFile());
}

std::string SettingsProblemDetail(const std::string& file, std::string_view problem) {
  return "The folder is not remembered in the settings file \"" + file + "\". " +
         std::string(problem);
}

std::optional<std::string> SettingsFileStore::ReadValue(std::string_view name) {
  const std::optional<std::string> text = ReadSettingsText(file_, nullptr);
  return text ? FindSettingsValue(*text, name) : std::nullopt;
}

std::optional<std::string> SettingsFileStore::WriteValue(std::string_view name,
                                                         std::string_view value) {
  std::string text;
  if (std::optional<std::string> problem = TextToUpdate(file_, text)) {
    return SettingsProblemDetail(file_, *problem);
  }
  errno = 0;
  if (ReplaceFile(file_, SetSettingsValue(text, name, value)) != FileStatus::Ok) {
    return SettingsProblemDetail(
        file_, "It cannot be written: " +
                   (errno != 0 ? SystemReason(errno) : std::string("the system gave no reason")) +
                   ".");
  }
  return std::nullopt;
}

}  // namespace klxr
