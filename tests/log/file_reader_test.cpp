// The one file reader: only regular files are read, and nothing else makes a load wait.
#include "log/file_reader.h"

#include <gtest/gtest.h>

#include <chrono>

#include "log/log_files.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"
#include "support/recording_window.h"
#include "support/scratch_folder.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

TEST(FileReader, FilesThatAreNotRegularAreRefusedAtOnceAsFilesThatCannotBeOpened) {
  ScratchFolder folder;
  ASSERT_TRUE(folder.MakeFifo("fifo.tlg"));
  ASSERT_TRUE(folder.MakeSocket("socket.tlg"));
  fs::create_directory(folder.Path() / "folder.tlg");
  fs::create_symlink("fifo.tlg", folder.Path() / "link-to-fifo.tlg");
  std::vector<std::string> names{"fifo.tlg", "socket.tlg", "folder.tlg", "link-to-fifo.tlg"};
  if (folder.MakeCharacterDevice("zero.tlg", 1, 5)) {  // the numbers of the zero device
    names.push_back("zero.tlg");
  }
  const LogImage previous = samples::MakeRealisticLog(10, 2);
  for (const std::string& name : names) {
    const auto start = std::chrono::steady_clock::now();
    LogImage image = previous;
    testing::RecordingMessageBoxes boxes;
    testing::RecordingWindow window;
    EXPECT_EQ(LoadLogFile(image, folder.PathOf(name), &window, boxes, false), 1) << name;
    EXPECT_EQ(boxes.Indexes(), std::vector<int>{msg::kInvalidBinaryFile}) << name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << name;
    EXPECT_EQ(image.bytes, previous.bytes);
    EXPECT_TRUE(window.events.empty());
  }
  EXPECT_TRUE(S_ISFIFO(folder.StatOf("fifo.tlg").st_mode));
}

TEST(FileReader, HugeFileIsRefusedAsTheWrongSizeWithoutReadingItAll) {
  ScratchFolder folder;
  folder.Write("huge.tlg", "");
  std::filesystem::resize_file(folder.Path() / "huge.tlg", std::uintmax_t{1} << 30);  // sparse
  const auto start = std::chrono::steady_clock::now();
  LogImage image;
  testing::RecordingMessageBoxes boxes;
  EXPECT_EQ(LoadLogFile(image, folder.PathOf("huge.tlg"), nullptr, boxes, true), -1);
  EXPECT_EQ(boxes.Indexes(), std::vector<int>{msg::kInvalidDataFile});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(FileReader, LinkToARegularFileIsRead) {
  ScratchFolder folder;
  const LogImage saved = samples::MakeRealisticLog(40, 8);
  testing::RecordingMessageBoxes boxes;
  ASSERT_EQ(SaveLogFile(saved, folder.PathOf("log.tlg"), boxes, false), 0);
  fs::create_symlink("log.tlg", folder.Path() / "link.tlg");
  LogImage loaded;
  EXPECT_EQ(LoadLogFile(loaded, folder.PathOf("link.tlg"), nullptr, boxes, false), 0);
  EXPECT_EQ(loaded.bytes, saved.bytes);
}

TEST(FileReader, StreamLoadAppliesTheSizeRuleOfAFile) {
  const LogImage saved = samples::MakeRealisticLog(40, 9);
  const std::string bytes(saved.bytes.begin(), saved.bytes.end());
  const std::vector<std::pair<std::string, int>> cases{
      {bytes, 0}, {bytes + "x", -1}, {bytes.substr(1), -1}, {"", -1}};
  for (const auto& [content, expected] : cases) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    std::fwrite(content.data(), 1, content.size(), stream);
    std::rewind(stream);
    LogImage image;
    testing::RecordingMessageBoxes boxes;
    testing::RecordingWindow window;
    EXPECT_EQ(LoadLogStream(image, stream, &window, boxes, true), expected) << content.size();
    EXPECT_EQ(window.viewEnabled, expected == 0);
    EXPECT_EQ(image.bytes == saved.bytes, expected == 0);
    std::fclose(stream);
  }
}

}  // namespace
}  // namespace klxr
