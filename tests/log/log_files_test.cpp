#include "log/log_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "log/record_lines.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"
#include "support/recording_window.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A write that stops after `allowed` bytes, as a full disk would.
FileHooks WriteFailsAfter(std::size_t allowed) {
  auto written = std::make_shared<std::size_t>(0);
  FileHooks hooks;
  hooks.write = [written, allowed](std::FILE* stream, const std::uint8_t* data, std::size_t size) {
    const std::size_t now = std::min(size, allowed - std::min(allowed, *written));
    *written += now;
    return std::fwrite(data, 1, now, stream);
  };
  return hooks;
}

class LogFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("klxr-log-files-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    // A recognisable image that a refused load must leave alone.
    previous_ = samples::MakeRealisticLog(20, 99);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
  LogImage previous_;
  testing::RecordingMessageBoxes boxes_;
  testing::RecordingWindow window_;
};

TEST_F(LogFilesTest, SavedLogLoadsBackIdentical) {
  const LogImage saved = samples::MakeRealisticLog(200, 5);
  ASSERT_EQ(SaveLogFile(saved, PathOf("log.tlg"), boxes_, false), 0);
  EXPECT_EQ(fs::file_size(folder_ / "log.tlg"), kLogImageSize);
  LogImage loaded;
  EXPECT_EQ(LoadLogFile(loaded, PathOf("log.tlg"), &window_, boxes_, false), 0);
  EXPECT_EQ(loaded.bytes, saved.bytes);
  EXPECT_EQ(window_.events, std::vector<std::string>{"view on"});
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(FolderEntries(folder_), std::vector<std::string>{"log.tlg"});
}

TEST_F(LogFilesTest, EmptyImageSavesAsZeroBytesAndLoadsWithViewEnabled) {
  ASSERT_EQ(SaveLogFile(LogImage{}, PathOf("empty.tlg"), boxes_, false), 0);
  EXPECT_EQ(ReadBytes(folder_ / "empty.tlg"), std::string(kLogImageSize, '\0'));
  LogImage image = previous_;
  EXPECT_EQ(LoadLogFile(image, PathOf("empty.tlg"), &window_, boxes_, false), 0);
  EXPECT_EQ(image.bytes, LogImage{}.bytes);
  EXPECT_TRUE(window_.viewEnabled);
}

TEST_F(LogFilesTest, WrongSizeIsRefusedAlsoInQuietMode) {
  for (std::size_t size : {kLogImageSize - 1, kLogImageSize + 1, std::size_t{0}}) {
    for (bool quiet : {false, true}) {
      WriteBytes(folder_ / "odd.tlg", std::string(size, 'A'));
      LogImage image = previous_;
      testing::RecordingMessageBoxes boxes;
      EXPECT_EQ(LoadLogFile(image, PathOf("odd.tlg"), &window_, boxes, quiet), -1) << size;
      EXPECT_EQ(boxes.boxes,
                (std::vector<testing::RecordedBox>{
                    {msg::kInvalidDataFile, "Error - Invalid data file", BoxKind::Error}}));
      EXPECT_EQ(image.bytes, previous_.bytes);
    }
  }
  EXPECT_TRUE(window_.events.empty());
}

TEST_F(LogFilesTest, ShortReadIsRefusedWithTheImageUnchanged) {
  WriteBytes(folder_ / "log.tlg", std::string(kLogImageSize, 'D'));
  FileHooks hooks;
  hooks.read = [calls = 0](std::FILE* stream, std::uint8_t* data, std::size_t) mutable {
    return ++calls == 1 ? std::fread(data, 1, 4096, stream) : std::size_t{0};
  };
  for (bool quiet : {false, true}) {
    LogImage image = previous_;
    testing::RecordingMessageBoxes boxes;
    EXPECT_EQ(LoadLogFile(image, PathOf("log.tlg"), &window_, boxes, quiet, hooks), -1);
    EXPECT_EQ(boxes.Indexes(), std::vector<int>{msg::kInvalidDataFile});
    EXPECT_EQ(image.bytes, previous_.bytes);
  }
}

TEST_F(LogFilesTest, FileThatCannotBeOpenedIsReportedUnlessQuiet) {
  fs::create_directory(folder_ / "folder.tlg");
  for (const std::string name : {"missing.tlg", "folder.tlg"}) {
    LogImage image = previous_;
    testing::RecordingMessageBoxes loud;
    EXPECT_EQ(LoadLogFile(image, PathOf(name), &window_, loud, false), 1);
    EXPECT_EQ(loud.boxes, (std::vector<testing::RecordedBox>{
                              {msg::kInvalidBinaryFile, "Invalid binary file", BoxKind::Error}}));
    testing::RecordingMessageBoxes quiet;
    EXPECT_EQ(LoadLogFile(image, PathOf(name), &window_, quiet, true), 1);
    EXPECT_TRUE(quiet.boxes.empty());
    EXPECT_EQ(image.bytes, previous_.bytes);
  }
  EXPECT_TRUE(window_.events.empty());
}

TEST_F(LogFilesTest, SavingAndExportingReplaceAnExistingFile) {
  WriteBytes(folder_ / "log.tlg", std::string(kLogImageSize + 500, 'x'));
  WriteBytes(folder_ / "log.csv", std::string(100000, 'y'));
  EXPECT_EQ(SaveLogFile(previous_, PathOf("log.tlg"), boxes_, false), 0);
  EXPECT_EQ(ExportCsv(previous_, PathOf("log.csv"), 20, boxes_, false), 0);
  EXPECT_EQ(ReadBytes(folder_ / "log.tlg"),
            std::string(previous_.bytes.begin(), previous_.bytes.end()));
  EXPECT_EQ(ReadBytes(folder_ / "log.csv"), MakeCsvText(previous_, 20));
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(FolderEntries(folder_), (std::vector<std::string>{"log.csv", "log.tlg"}));
}

TEST_F(LogFilesTest, ExportWritesTheHeaderAndOneLinePerRecord) {
  ASSERT_EQ(ExportCsv(previous_, PathOf("none.csv"), 0, boxes_, false), 0);
  EXPECT_EQ(ReadBytes(folder_ / "none.csv"), kCsvHeader);
  ASSERT_EQ(ExportCsv(previous_, PathOf("three.csv"), 3, boxes_, false), 0);
  const std::string text = ReadBytes(folder_ / "three.csv");
  EXPECT_EQ(text.rfind(kCsvHeader, 0), 0u);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(kCsvHeader.size(), 229u);
}

TEST_F(LogFilesTest, MissingFolderOrFolderTargetIsReportedUnlessQuietAndNothingWritten) {
  fs::create_directory(folder_ / "taken");
  for (const std::string name : {"no-such-folder/log.tlg", "taken"}) {
    for (bool quiet : {false, true}) {
      testing::RecordingMessageBoxes boxes;
      EXPECT_EQ(SaveLogFile(previous_, PathOf(name), boxes, quiet), -1) << name;
      EXPECT_EQ(ExportCsv(previous_, PathOf(name), 5, boxes, quiet), -1) << name;
      const std::vector<int> expected =
          quiet ? std::vector<int>{}
                : std::vector<int>{msg::kCantSaveProgramImage, msg::kCantSaveProgramImage};
      EXPECT_EQ(boxes.Indexes(), expected) << name;
    }
  }
  EXPECT_EQ(FolderEntries(folder_), std::vector<std::string>{"taken"});
  EXPECT_TRUE(fs::is_empty(folder_ / "taken"));
}

TEST_F(LogFilesTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const std::string oldCsv = "old export\r\n";
  const std::string oldLog(kLogImageSize, 'o');
  WriteBytes(folder_ / "log.csv", oldCsv);
  WriteBytes(folder_ / "log.tlg", oldLog);
  const LogImage full = samples::MakeRealisticLog(kSlotCount, 3);
  for (std::size_t allowed : {std::size_t{0}, std::size_t{100}, std::size_t{40000}}) {
    for (bool quiet : {false, true}) {
      testing::RecordingMessageBoxes boxes;
      EXPECT_EQ(
          ExportCsv(full, PathOf("log.csv"), kSlotCount, boxes, quiet, WriteFailsAfter(allowed)),
          -1);
      EXPECT_EQ(SaveLogFile(full, PathOf("log.tlg"), boxes, quiet, WriteFailsAfter(allowed)), -1);
      EXPECT_EQ(boxes.boxes,
                std::vector<testing::RecordedBox>(
                    2, {msg::kCantSaveProgramImage, "Can't save program image", BoxKind::Error}));
    }
  }
  EXPECT_EQ(ReadBytes(folder_ / "log.csv"), oldCsv);
  EXPECT_EQ(ReadBytes(folder_ / "log.tlg"), oldLog);
  EXPECT_EQ(FolderEntries(folder_), (std::vector<std::string>{"log.csv", "log.tlg"}));
}

TEST_F(LogFilesTest, FailedFirstWriteCreatesNoFile) {
  testing::RecordingMessageBoxes boxes;
  EXPECT_EQ(SaveLogFile(previous_, PathOf("new.tlg"), boxes, true, WriteFailsAfter(0)), -1);
  EXPECT_EQ(boxes.Indexes(), std::vector<int>{msg::kCantSaveProgramImage});
  EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(LogFilesTest, LeftoverTemporaryNameDoesNotBlockASave) {
  WriteBytes(folder_ / "log.tlg.0.partial", "someone else's");
  EXPECT_EQ(SaveLogFile(previous_, PathOf("log.tlg"), boxes_, false), 0);
  EXPECT_EQ(ReadBytes(folder_ / "log.tlg.0.partial"), "someone else's");
  EXPECT_EQ(fs::file_size(folder_ / "log.tlg"), kLogImageSize);
}

}  // namespace
}  // namespace klxr
