// The remembered folders in the registry: REG_SZ values of HKEY_CURRENT_USER\SOFTWARE\KLXRPlusData,
// one per kind of file (LogLoadDir, LogSaveDir, KLXRPlusExportDir). The key is created on the first
// write. Reading falls back to nothing; the caller then takes the current directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace klxr::win32 {

// The key below HKEY_CURRENT_USER\SOFTWARE that holds the folders.
inline constexpr char kRememberedFoldersKey[] = "KLXRPlusData";
// A folder is at most 1023 characters; the value is read into a buffer of this many bytes.
inline constexpr unsigned kRememberedFolderCapacity = 1024;

class RegistryFolders {
 public:
  // subKey: the key below HKEY_CURRENT_USER\SOFTWARE (tests give a key of their own).
  explicit RegistryFolders(std::string subKey = kRememberedFoldersKey);

  // The folder stored under the value name: its text up to its terminator or the end of the stored
  // data. Nothing when the key or the value is missing or the value does not fit the buffer.
  std::optional<std::string> Read(std::string_view valueName) const;

  // Stores the folder as a REG_SZ value with its terminator. Returns the problem when the key
  // cannot be opened or created (the key and the system's reason), else the empty text; a failure
  // of setting the value itself is not reported.
  std::string Write(std::string_view valueName, std::string_view folder) const;

  // The key's full name, for messages.
  std::string KeyName() const;

 private:
  std::string subKey_;
};

}  // namespace klxr::win32
