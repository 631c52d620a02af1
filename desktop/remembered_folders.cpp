#include "desktop/remembered_folders.h"

#include <optional>

#include "desktop/folder_paths.h"

namespace klxr {

std::string ReadRememberedFolder(SettingsStore& store, std::string_view valueName) {
  const std::optional<std::string> value = store.ReadValue(valueName);
  if (!value) {
    return CurrentFolder();
  }
  std::string folder = value->substr(0, value->find('\0'));
  if (folder.size() >= kPathCapacity) {
    return CurrentFolder();
  }
  return folder;
}

void WriteRememberedFolder(SettingsStore& store, std::string_view folder,
                           std::string_view valueName, MessageBoxes& boxes) {
  if (const std::optional<std::string> detail = store.WriteValue(valueName, folder)) {
    ShowMessage(boxes, msg::kCantWriteRegistry, BoxKind::Error, *detail);
  }
}

}  // namespace klxr
