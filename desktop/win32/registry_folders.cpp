#include "desktop/win32/registry_folders.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "desktop/win32/system_error_text.h"

namespace klxr::win32 {
namespace {

// Closes a registry key when it goes out of scope.
class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_ != nullptr) {
      RegCloseKey(key_);
    }
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* Receive() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

RegistryFolders::RegistryFolders(std::string subKey) : subKey_(std::move(subKey)) {}

std::string RegistryFolders::KeyName() const {
  return "HKEY_CURRENT_USER\\SOFTWARE\\" + subKey_;
}

std::optional<std::string> RegistryFolders::Read(std::string_view valueName) const {
  OpenKey software;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE", 0, KEY_READ, software.Receive()) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  OpenKey folders;
  if (RegOpenKeyExA(software.Get(), subKey_.c_str(), 0, KEY_READ, folders.Receive()) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::vector<char> buffer(kRememberedFolderCapacity, '\0');
  DWORD size = kRememberedFolderCapacity;
  const std::string name(valueName);
  if (RegQueryValueExA(folders.Get(), name.c_str(), nullptr, nullptr,
                       reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::string_view stored(buffer.data(), size);
  return std::string(stored.substr(0, stored.find('\0')));
}

std::string RegistryFolders::Write(std::string_view valueName, std::string_view folder) const {
  OpenKey software;
  LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE", 0, KEY_WRITE, software.Receive());
  if (status != ERROR_SUCCESS) {
    return "HKEY_CURRENT_USER\\SOFTWARE: " + SystemErrorText(static_cast<DWORD>(status));
  }
  OpenKey folders;
  status = RegCreateKeyExA(software.Get(), subKey_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_WRITE, nullptr, folders.Receive(), nullptr);
  if (status != ERROR_SUCCESS) {
    return KeyName() + ": " + SystemErrorText(static_cast<DWORD>(status));
  }
  const std::string name(valueName);
  const std::string text(folder);
  RegSetValueExA(folders.Get(), name.c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
  return {};
}

}  // namespace klxr::win32
