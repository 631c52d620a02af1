// Which names stand for one file: links and hard links share the file's identity, distinct files
// and a missing name do not.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_identity.h"
#include "support/scratch_folder.h"

namespace klxr::platform {
namespace {

namespace fs = std::filesystem;

TEST(FileIdentityTest, NamesOfOneFileShareItsIdentity) {
  testing::ScratchFolder folder;
  folder.Write("log.tlg", "log");
  folder.Write("other.tlg", "log");
  fs::create_hard_link(folder.Path() / "log.tlg", folder.Path() / "second.tlg");
  fs::create_symlink("log.tlg", folder.Path() / "link");
  ASSERT_TRUE(folder.MakeFifo("fifo"));
  const std::optional<FileIdentity> log = IdentityOfFile(folder.PathOf("log.tlg"));
  ASSERT_TRUE(log.has_value());
  EXPECT_TRUE(log->regular);

  const struct {
    std::string name;
    bool exists;
    bool sameAsLog;
    bool regular;
  } cases[] = {
      {"second.tlg", true, true, true},     {"link", true, true, true},
      {"other.tlg", true, false, true},     {"fifo", true, false, false},
      {"missing.tlg", false, false, false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const std::optional<FileIdentity> identity = IdentityOfFile(folder.PathOf(test.name));
    ASSERT_EQ(identity.has_value(), test.exists);
    if (identity) {
      EXPECT_EQ(identity->device == log->device && identity->inode == log->inode, test.sameAsLog);
      EXPECT_EQ(identity->regular, test.regular);
    }
  }
}

}  // namespace
}  // namespace klxr::platform
