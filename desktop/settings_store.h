// Where the program keeps the current user's settings (the remembered folders): string values by
// name, in the registry on Windows, in a settings file elsewhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace klxr {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The string stored under the name; nullopt when there is none or the store cannot be read.
  virtual std::optional<std::string> ReadValue(std::string_view name) = 0;

  // Stores the string under the name. When that fails: a text for the detail of the box that
  // reports it, naming the store and the system's reason.
  virtual std::optional<std::string> WriteValue(std::string_view name, std::string_view value) = 0;
};

}  // namespace klxr
