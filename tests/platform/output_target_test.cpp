// What FindOutputTarget sees at an output's name: links followed to the end of their chain, a
// dangling link standing for the file it would make, folders and loops refused.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/output_file.h"
#include "support/scratch_folder.h"

namespace klxr::platform {
namespace {

namespace fs = std::filesystem;

// The folder every case looks into: a log file, a hard link to it, a chain of two links to it,
// a folder, a FIFO, links that dangle (to a file and to a folder) and a link to itself.
class OutputTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("log.tlg", "log");
    fs::create_hard_link(folder_.Path() / "log.tlg", folder_.Path() / "second.tlg");
    fs::create_symlink("log.tlg", folder_.Path() / "first-link");
    fs::create_symlink("first-link", folder_.Path() / "chain");
    fs::create_directory(folder_.Path() / "sub");
    ASSERT_TRUE(folder_.MakeFifo("fifo"));
    fs::create_symlink("made.tlg", folder_.Path() / "dangling");
    fs::create_symlink("nowhere/", folder_.Path() / "dangling-folder");
    fs::create_symlink("loop", folder_.Path() / "loop");
  }

  testing::ScratchFolder folder_;
};

TEST_F(OutputTargetTest, EachKindOfNameIsSeenForWhatItIs) {
  const struct {
    std::string name;
    OutputKind kind;
    std::string endName;  // the name written to, at the end of the links; empty when refused
    int error;
    std::uint64_t links;
  } cases[] = {
      {"new.tlg", OutputKind::Missing, "new.tlg", ENOENT, 1},
      {"no-folder/new.tlg", OutputKind::Missing, "no-folder/new.tlg", ENOENT, 1},
      {"dangling", OutputKind::Missing, "made.tlg", ENOENT, 1},
      {"log.tlg", OutputKind::Regular, "log.tlg", 0, 2},
      {"chain", OutputKind::Regular, "log.tlg", 0, 2},
      {"fifo", OutputKind::Special, "fifo", 0, 1},
      {"sub", OutputKind::Refused, "", EISDIR, 1},
      {"log.tlg/", OutputKind::Refused, "", EISDIR, 1},
      {"dangling-folder", OutputKind::Refused, "", EISDIR, 1},
      {"loop", OutputKind::Refused, "", ELOOP, 1},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const OutputTarget target = FindOutputTarget(folder_.PathOf(test.name));
    EXPECT_EQ(target.kind, test.kind);
    EXPECT_EQ(target.error, test.error);
    EXPECT_EQ(target.existing.links, test.links);
    if (!test.endName.empty()) {
      EXPECT_EQ(fs::path(target.path).lexically_normal(),
                (folder_.Path() / test.endName).lexically_normal());
    }
  }
  EXPECT_EQ(FindOutputTarget("").error, ENOENT);
}

TEST_F(OutputTargetTest, ANewFileNeedsAWritableFolder) {
  const struct {
    std::string name;
    int refusal;
  } cases[] = {
      {"new.tlg", 0},
      {"no-folder/new.tlg", ENOENT},
      {"log.tlg/new.tlg", ENOTDIR},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(NewFileRefusal(folder_.PathOf(test.name)), test.refusal);
  }
}

}  // namespace
}  // namespace klxr::platform
