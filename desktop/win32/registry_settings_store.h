// The settings store of the program on Windows: the remembered folders as REG_SZ values of
// HKEY_CURRENT_USER\SOFTWARE\KLXRPlusData (registry_folders.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "desktop/settings_store.h"
#include "desktop/win32/registry_folders.h"

namespace klxr::win32 {

class RegistrySettingsStore : public SettingsStore {
 public:
  // subKey: the key below HKEY_CURRENT_USER\SOFTWARE (tests give a key of their own).
  explicit RegistrySettingsStore(std::string subKey = kRememberedFoldersKey)
      : folders_(std::move(subKey)) {}

  std::optional<std::string> ReadValue(std::string_view name) override {
    return folders_.Read(name);
  }

  std::optional<std::string> WriteValue(std::string_view name, std::string_view value) override {
    std::string problem = folders_.Write(name, value);
    if (problem.empty()) {
      return std::nullopt;
    }
    return problem;
  }

 private:
  RegistryFolders folders_;
};

}  // namespace klxr::win32
