// The settings file in its own folder: the values of the old file move there once, the new file
// wins when both exist, and the old file stays in use while the new one cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include "desktop/settings_file_store.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SettingsFileMove, MovesTheOldValuesOnceAndNeverLosesOne) {
  const std::string oldText = "[Settings]\nLogLoadDir=/logs/old\nArchiveSurveys=0\n";
  const std::string newText = "[Settings]\nLogLoadDir=/logs/new\n";
  const struct {
    const char* name;
    bool oldFile;
    bool newFile;
    bool blocked;  // a file stands where the new file's folder goes
    SettingsMove move;
    bool oldChosen;
    std::optional<std::string> oldAfter;
    std::optional<std::string> newAfter;
  } cases[] = {
      {"no files", false, false, false, SettingsMove::kNothingToMove, false, {}, {}},
      {"only the old", true, false, false, SettingsMove::kMoved, false, {}, oldText},
      {"only the new", false, true, false, SettingsMove::kNothingToMove, false, {}, newText},
      {"both: the new wins", true, true, false, SettingsMove::kNothingToMove, false, oldText,
       newText},
      {"the new folder cannot be made",
       true,
       false,
       true,
       SettingsMove::kOldKept,
       true,
       oldText,
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path config =
        fs::temp_directory_path() / ("klxr-settings-" + std::to_string(std::random_device{}()));
    fs::create_directories(config);
    const fs::path oldFile = config / "KLXRPlusData.ini";
    const fs::path newFile = config / "klxr-log" / "settings.ini";
    if (c.oldFile) {
      std::ofstream(oldFile, std::ios::binary) << oldText;
    }
    if (c.newFile) {
      fs::create_directories(newFile.parent_path());
      std::ofstream(newFile, std::ios::binary) << newText;
    }
    if (c.blocked) {
      std::ofstream(config / "klxr-log") << "a file, not a folder";
    }

    EXPECT_EQ(MoveSettingsFile(oldFile.string(), newFile.string()), c.move);
    EXPECT_EQ(Contents(oldFile), c.oldAfter);
    EXPECT_EQ(Contents(newFile), c.newAfter);
    EXPECT_EQ(ChosenSettingsFile(newFile.string(), oldFile.string()),
              (c.oldChosen ? oldFile : newFile).string());
    // A second start moves nothing more.
    EXPECT_NE(MoveSettingsFile(oldFile.string(), newFile.string()), SettingsMove::kMoved);
    fs::remove_all(config);
  }
}

}  // namespace
}  // namespace klxr
