#include "desktop/chooser_listing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>

#include "desktop/folder_paths.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

using Entries = std::vector<std::string>;

#ifndef _WIN32
TEST(ChooserListing, ListsFilesFoldersAndParentButNothingHiddenAndEntersTheFolder) {
  testing::TemporaryFolder folder;
  for (const char* file : {"LOG1.TLG", "a.tlg", ".hidden.tlg"}) {
    folder.MakeFile(file);
  }
  folder.MakeFile("read-only.tlg");
  QFile::setPermissions(QString::fromStdString(folder.Path("read-only.tlg")), QFile::ReadOwner);
  folder.MakeFolder("sub");
  folder.MakeFolder(".config");

  const std::optional<FolderListing> listing = ListFolderEntries(folder.Path());
  ASSERT_TRUE(listing.has_value());
  EXPECT_EQ(listing->folder, folder.Path());
  EXPECT_EQ(CurrentFolder(), folder.Path());
  Entries withoutDrives;
  const Entries drives = DriveEntries();
  std::copy_if(
      listing->entries.begin(), listing->entries.end(), std::back_inserter(withoutDrives),
      [&](const std::string& e) { return std::count(drives.begin(), drives.end(), e) == 0; });
  EXPECT_EQ(withoutDrives, (Entries{"[..]", "[sub]", "a.tlg", "LOG1.TLG", "read-only.tlg"}));
  EXPECT_EQ(std::count(listing->entries.begin(), listing->entries.end(), "[/]"), 1);

  ASSERT_TRUE(ListFolderEntries("sub").has_value());
  EXPECT_EQ(CurrentFolder(), folder.Path("sub"));
  EXPECT_FALSE(ListFolderEntries("no such folder").has_value());
  EXPECT_FALSE(ListFolderEntries("").has_value());
  EXPECT_EQ(CurrentFolder(), folder.Path("sub"));

  const std::optional<FolderListing> root = ListFolderEntries("/");
  ASSERT_TRUE(root.has_value());
  EXPECT_EQ(root->folder, "/");
  EXPECT_EQ(std::count(root->entries.begin(), root->entries.end(), "[..]"), 0);
}

TEST(ChooserListing, AFolderThatCanBeEnteredButNotReadCannotBeListed) {
  testing::TemporaryFolder folder;
  ASSERT_TRUE(testing::OrdinaryUser::MakeUnreadableFolder(folder.Path("locked")));
  ASSERT_TRUE(ListFolderEntries(folder.Path()).has_value());
  const testing::OrdinaryUser user(folder.Path());
  if (!user.CanHold()) {
    GTEST_SKIP() << "root reads every folder and cannot act as another user here";
  }
  for (const std::string& path : {std::string("locked"), folder.Path("locked")}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(ListFolderEntries(path).has_value());
    EXPECT_EQ(CurrentFolder(), folder.Path());
  }
}

TEST(FolderPaths, FullPathsAndTheirFolders) {
  testing::TemporaryFolder folder;
  QDir::setCurrent(QString::fromStdString(folder.Path()));
  EXPECT_EQ(FullPath("report"), folder.Path("report"));
  EXPECT_EQ(FullPath("../x/./y"), FolderOfPath(folder.Path()) + "/x/y");
  EXPECT_EQ(FullPath("/abs/name"), "/abs/name");
  EXPECT_EQ(FullPath("/../abs/name"), "/abs/name");  // the root's parent is the root itself
  EXPECT_EQ(FullPath(""), std::nullopt);
  EXPECT_EQ(FullPath(std::string(kPathCapacity, 'n')), std::nullopt);
  EXPECT_EQ(FolderOfPath("/home/user/log.tlg"), "/home/user");
  EXPECT_EQ(FolderOfPath("/log.tlg"), "/");  // a file in "/" keeps "/" as its folder
}
#endif

}  // namespace
}  // namespace klxr
