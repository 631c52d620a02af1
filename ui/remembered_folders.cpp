#include "ui/remembered_folders.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

#include "ui/eight_bit_text.h"
#include "ui/folder_paths.h"

namespace klxr {
namespace {

#ifdef _WIN32
constexpr char kRegistryKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\KLXRPlusData";
#endif

QString SettingsFileFromEnvironment() {
  return QFile::decodeName(qgetenv(kSettingsFileVariable));
}

std::unique_ptr<QSettings> OpenStore() {
  const QString file = SettingsFileFromEnvironment();
  if (!file.isEmpty()) {
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
  }
#ifdef _WIN32
  return std::make_unique<QSettings>(QString::fromLatin1(kRegistryKey), QSettings::NativeFormat);
#else
  return std::make_unique<QSettings>(RememberedFoldersLocation(), QSettings::IniFormat);
#endif
}

QString ValueKey(std::string_view valueName) {
  return TextToQString(valueName);
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
  const std::unique_ptr<QSettings> store = OpenStore();
  const QVariant value = store->value(ValueKey(valueName));
  if (store->status() != QSettings::NoError || !value.isValid()) {
    return CurrentFolder();
  }
  std::string folder = PathFromQString(value.toString());
  // The stored text ends at its first zero byte, or with the stored data.
  folder = folder.substr(0, folder.find('\0'));
  if (folder.size() >= kPathCapacity) {
    return CurrentFolder();
  }
  return folder;
}

void WriteRememberedFolder(std::string_view folder, std::string_view valueName,
                           MessageBoxes& boxes) {
  const std::unique_ptr<QSettings> store = OpenStore();
  if (store->isWritable()) {
    store->setValue(ValueKey(valueName), PathToQString(folder));
    store->sync();
    if (store->status() == QSettings::NoError) {
      return;
    }
  }
  ShowMessage(boxes, msg::kCantWriteRegistry, BoxKind::Error);
}

}  // namespace klxr
