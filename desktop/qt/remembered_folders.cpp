#include "desktop/qt/remembered_folders.h"

#include "desktop/qt/eight_bit_text.h"

namespace klxr {

QString RememberedFoldersLocation() {
  return PathToQString(UserSettingsFile());
}

std::string ReadRememberedFolder(std::string_view valueName) {
  SettingsFileStore store(UserSettingsFile());
  return ReadRememberedFolder(store, valueName);
}

void WriteRememberedFolder(std::string_view folder, std::string_view valueName,
                           MessageBoxes& boxes) {
  SettingsFileStore store(UserSettingsFile());
  WriteRememberedFolder(store, folder, valueName, boxes);
}

}  // namespace klxr
