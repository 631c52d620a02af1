// Log files under Windows paths: drive letters, backslashes and relative paths read the same log;
// saving and exporting write the same bytes as on every other platform, and replacing a file leaves
// nothing else behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "log/log_files.h"
#include "log/log_image.h"
#include "log/whole_file.h"
#include "run_tool.h"
#include "scratch_folder.h"
#include "support/recording_message_boxes.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;

const fs::path kSamples = KLXR_SAMPLES_DIR;
const fs::path kExpected = KLXR_EXPECTED_DIR;

std::string WithSlashes(std::string path, char slash) {
  for (char& c : path) {
    c = (c == '/' || c == '\\') ? slash : c;
  }
  return path;
}

// Makes the given folder the current one for the life of the object.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const fs::path& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~ScopedCurrentFolder() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

TEST(WindowsPathsTest, EveryFormOfAPathReadsTheSameLog) {
  const std::string absolute = fs::absolute(kSamples / "mixed.tlg").string();
  ASSERT_EQ(absolute[1], ':') << "expected a drive letter: " << absolute;
  const std::string expected = ReadWholeFile(kSamples / "mixed.tlg");
  ASSERT_EQ(expected.size(), kLogImageSize);

  ScopedCurrentFolder current(kSamples.parent_path());
  const std::string paths[] = {
      WithSlashes(absolute, '\\'),            // Z:\work\...\mixed.tlg
      WithSlashes(absolute, '/'),             // Z:/work/.../mixed.tlg
      WithSlashes(absolute.substr(2), '\\'),  // \work\...\mixed.tlg, on the current drive
      "samples\\mixed.tlg",                   // relative to the current folder
      ".\\samples\\..\\samples\\mixed.tlg",
  };
  for (const std::string& path : paths) {
    LogImage image;
    testing::RecordingMessageBoxes boxes;
    EXPECT_EQ(LoadLogFile(image, path, nullptr, boxes, false), 0) << path;
    EXPECT_TRUE(boxes.boxes.empty()) << path;
    EXPECT_EQ(std::string(image.bytes.begin(), image.bytes.end()), expected) << path;
  }
}

TEST(WindowsPathsTest, SaveAndExportUnderBackslashPathsWriteTheSameBytes) {
  testing::ScratchFolder folder;
  fs::create_directories(folder.Path() / "logs");
  LogImage image;
  testing::RecordingMessageBoxes boxes;
  ASSERT_EQ(LoadLogFile(image, (kSamples / "mixed.tlg").string(), nullptr, boxes, false), 0);
  const std::string base = WithSlashes(fs::absolute(folder.Path()).string(), '\\');

  EXPECT_EQ(SaveLogFile(image, base + "\\logs\\saved.tlg", boxes, false), 0);
  EXPECT_EQ(
      ExportCsv(image, base + "\\logs\\saved.csv", CountRecords(image, nullptr), boxes, false), 0);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(ReadWholeFile(folder.Path() / "logs" / "saved.tlg"),
            ReadWholeFile(kSamples / "mixed.tlg"));
  // CR LF line ends exactly as written: no CR CR LF.
  EXPECT_EQ(ReadWholeFile(folder.Path() / "logs" / "saved.csv"),
            ReadWholeFile(kExpected / "mixed.csv"));
}

TEST(WindowsPathsTest, ReplacingAFileLeavesOnlyTheNewContent) {
  testing::ScratchFolder folder;
  const std::string target = WithSlashes((folder.Path() / "log.csv").string(), '\\');
  // Longer, then shorter, then empty: nothing of an earlier content may remain.
  const std::string contents[] = {std::string(70000, 'a') + "\r\n",
                                  "b\r\n\x1A"
                                  "after\r\n",
                                  ""};
  for (const std::string& content : contents) {
    ASSERT_EQ(ReplaceFile(target, std::string_view(content)), FileStatus::Ok);
    EXPECT_EQ(ReadWholeFile(target), content);
    EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"log.csv"});
  }
}

TEST(WindowsPathsTest, AFolderOrAMissingFolderIsNoFile) {
  testing::ScratchFolder folder;
  const std::string base = WithSlashes(folder.Path().string(), '\\');
  const std::uint8_t byte = 0;
  EXPECT_EQ(ReplaceFile(base, std::span(&byte, 1)), FileStatus::CannotOpen);
  EXPECT_EQ(ReplaceFile(base + "\\missing\\log.tlg", std::span(&byte, 1)), FileStatus::CannotOpen);
  std::uint8_t buffer[4];
  std::size_t read = 9;
  EXPECT_EQ(ReadFileStart(base, buffer, read), FileStatus::CannotOpen);
  EXPECT_EQ(ReadFileStart(base + "\\missing.tlg", buffer, read), FileStatus::CannotOpen);
  EXPECT_EQ(read, 0u);
  EXPECT_TRUE(folder.FileNames().empty());
}

}  // namespace
}  // namespace klxr
