#include "desktop/qt/remembered_folders.h"

#include <QDir>
#include <QStandardPaths>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "desktop/folder_paths.h"
#include "desktop/qt/eight_bit_text.h"
#include "desktop/settings_text.h"
#include "log/whole_file.h"

#ifdef _WIN32
#include <QSettings>
#endif

namespace klxr {
namespace {

namespace fs = std::filesystem;

// A settings file holds three folders; one larger than this is not one the program wrote, and is
// neither read nor rewritten.
constexpr std::size_t kSettingsFileLimit = 256 * 1024;

QString SettingsFileFromEnvironment() {
  return QFile::decodeName(qgetenv(kSettingsFileVariable));
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

// Stores the folder in the settings file; the problem (what went wrong, and the system's reason)
// when it could not.
std::optional<std::string> StoreFolder(const std::string& file, std::string_view folder,
                                       std::string_view valueName) {
  std::string text;
  if (std::optional<std::string> problem = TextToUpdate(file, text)) {
    return problem;
  }
  errno = 0;
  if (ReplaceFile(file, SetSettingsValue(text, valueName, folder)) != FileStatus::Ok) {
    return "It cannot be written: " +
           (errno != 0 ? SystemReason(errno) : std::string("the system gave no reason")) + ".";
  }
  return std::nullopt;
}

#ifdef _WIN32
constexpr char kRegistryKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\KLXRPlusData";

// Without a settings file named, Windows keeps the folders in the registry.
bool UsesRegistry() {
  return SettingsFileFromEnvironment().isEmpty();
}

std::optional<std::string> ReadRegistryValue(std::string_view valueName) {
  QSettings store(QString::fromLatin1(kRegistryKey), QSettings::NativeFormat);
  const QVariant value = store.value(TextToQString(valueName));
  if (store.status() != QSettings::NoError || !value.isValid()) {
    return std::nullopt;
  }
  return PathFromQString(value.toString());
}

bool WriteRegistryValue(std::string_view folder, std::string_view valueName) {
  QSettings store(QString::fromLatin1(kRegistryKey), QSettings::NativeFormat);
  if (!store.isWritable()) {
    return false;
  }
  store.setValue(TextToQString(valueName), PathToQString(folder));
  store.sync();
  return store.status() == QSettings::NoError;
}
#endif

std::optional<std::string> StoredValue(std::string_view valueName) {
#ifdef _WIN32
  if (UsesRegistry()) {
    return ReadRegistryValue(valueName);
  }
#endif
  const std::optional<std::string> text =
      ReadSettingsText(PathFromQString(RememberedFoldersLocation()), nullptr);
  return text ? FindSettingsValue(*text, valueName) : std::nullopt;
}

}  // namespace

QString RememberedFoldersLocation() {
  const QString file = SettingsFileFromEnvironment();
  if (!file.isEmpty()) {
    return file;
  }
#ifdef _WIN32
  return QString::fromLatin1(kRegistryKey);
#else
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/KLXRPlusData.ini");
#endif
}

std::string ReadRememberedFolder(std::string_view valueName) {
  const std::optional<std::string> value = StoredValue(valueName);
  if (!value) {
    return CurrentFolder();
  }
  // The stored text ends at its first zero byte, or with the stored data.
  std::string folder = value->substr(0, value->find('\0'));
  if (folder.size() >= kPathCapacity) {
    return CurrentFolder();
  }
  return folder;
}

std::string SettingsProblemDetail(const std::string& file, std::string_view problem) {
  return "The folder is not remembered in the settings file \"" + file + "\". " +
         std::string(problem);
}

void WriteRememberedFolder(std::string_view folder, std::string_view valueName,
                           MessageBoxes& boxes) {
#ifdef _WIN32
  if (UsesRegistry()) {
    if (!WriteRegistryValue(folder, valueName)) {
      ShowMessage(boxes, msg::kCantWriteRegistry, BoxKind::Error);
    }
    return;
  }
#endif
  const std::string file = PathFromQString(RememberedFoldersLocation());
  if (const std::optional<std::string> problem = StoreFolder(file, folder, valueName)) {
    boxes.ShowDetailed(msg::kCantWriteRegistry, LoadText(msg::kCantWriteRegistry), BoxKind::Error,
                       SettingsProblemDetail(file, *problem));
  }
}

}  // namespace klxr
