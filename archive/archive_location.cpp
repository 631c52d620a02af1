#include "archive/archive_location.h"

#include <filesystem>
#include <system_error>

#include "platform/data_folder.h"
#include "platform/environment.h"

namespace klxr::archive {

namespace {

std::string FileInDataFolder(const char* name) {
  return (std::filesystem::path(platform::UserDataFolder()) / "klxr-log" / name).string();
}

}  // namespace

std::string ArchiveFile() {
  std::string named = platform::EnvironmentValue(kArchiveVariable);
  return named.empty() ? FileInDataFolder("surveys.sqlite") : named;
}

void UseDemoArchive() {
  if (platform::EnvironmentValue(kArchiveVariable).empty()) {
    platform::SetEnvironmentValue(kArchiveVariable, FileInDataFolder("demo-surveys.sqlite"));
  }
}

std::string PrepareArchiveFolder(const std::string& file) {
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  std::error_code error;
  if (folder.empty() || std::filesystem::is_directory(folder, error)) {
    return {};
  }
  std::filesystem::create_directories(folder, error);
  if (error) {
    return "cannot create the survey archive's folder '" + folder.string() +
           "': " + error.message();
  }
  return {};
}

}  // namespace klxr::archive
