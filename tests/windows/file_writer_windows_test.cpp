// Replacing files on Windows (replacing a file whole without leftovers is in windows_paths_test): a
// read-only file is refused and kept, a file with a second hard link is written in place so both
// names keep showing the same file, and a failed write leaves the old file and nothing else.
#include <windows.h>
#undef ReplaceFile

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "log/whole_file.h"
#include "run_tool.h"
#include "scratch_folder.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;

void WriteText(const fs::path& path, const std::string& text) {
  ASSERT_EQ(ReplaceFile(path.string(), std::string_view(text)), FileStatus::Ok) << path;
}

TEST(WindowsFileWriterTest, AReadOnlyFileIsRefusedAndKept) {
  testing::ScratchFolder folder;
  const fs::path target = folder.Path() / "kept.csv";
  WriteText(target, "kept\r\n");
  ASSERT_NE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY), 0);

  EXPECT_EQ(CheckFileCanBeWritten(target.string()), FileStatus::CannotOpen);
  EXPECT_EQ(ReplaceFile(target.string(), std::string_view("new")), FileStatus::CannotOpen);
  EXPECT_EQ(ReadWholeFile(target), "kept\r\n");
  EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"kept.csv"});
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that the folder can go
}

TEST(WindowsFileWriterTest, AFileWithASecondHardLinkIsWrittenInPlace) {
  testing::ScratchFolder folder;
  const fs::path target = folder.Path() / "log.tlg";
  const fs::path link = folder.Path() / "link.tlg";
  WriteText(target, "old content");
  fs::create_hard_link(target, link);

  WriteText(target, "new");
  EXPECT_EQ(ReadWholeFile(target), "new");
  EXPECT_EQ(ReadWholeFile(link), "new");
  EXPECT_EQ(folder.FileNames(), (std::vector<std::string>{"link.tlg", "log.tlg"}));
}

TEST(WindowsFileWriterTest, AFailedWriteKeepsTheOldFileOrMakesNone) {
  FileHooks failingWrite;
  failingWrite.write = [](std::FILE*, const std::uint8_t*, std::size_t) -> std::size_t {
    return 0;
  };
  FileHooks failingSync;
  failingSync.sync = [](std::FILE*) { return false; };
  struct Case {
    const char* name;
    FileHooks hooks;
  };
  const Case cases[] = {{"write", failingWrite}, {"sync", failingSync}};
  const std::string bytes(40000, 'x');
  for (const Case& c : cases) {
    for (const bool existing : {true, false}) {
      testing::ScratchFolder folder;
      const fs::path target = folder.Path() / "log.tlg";
      if (existing) {
        WriteText(target, "kept");
      }
      EXPECT_EQ(ReplaceFile(target.string(), std::string_view(bytes), c.hooks),
                FileStatus::WriteFailed)
          << c.name;
      if (existing) {
        EXPECT_EQ(ReadWholeFile(target), "kept") << c.name;
        EXPECT_EQ(folder.FileNames(), std::vector<std::string>{"log.tlg"}) << c.name;
      } else {
        EXPECT_TRUE(folder.FileNames().empty()) << c.name;
      }
    }
  }
}

}  // namespace
}  // namespace klxr
