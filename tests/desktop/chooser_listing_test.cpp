#include "desktop/chooser_listing.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace klxr {
namespace {

using Entries = std::vector<std::string>;

std::string Unchanged(std::string_view name) {
  return std::string(name);
}

TEST(ChooserListing, FilterKeepsFoldersDrivesAndFilesWithAListedExtension) {
  const Entries listed = {"[..]",      "[-c-]", "[logs]", "LOG1.TLG", "a.tlg",
                          "a.tlg.bak", "tlg",   "x.csv",  "b.TlG"};
  struct Case {
    const char* filter;
    bool showAll;
    Entries kept;
  };
  const Case kCases[] = {
      {".tlg;", false, {"[..]", "[-c-]", "[logs]", "LOG1.TLG", "a.tlg", "b.TlG"}},
      {".tlg;", true, listed},
      {".csv;.tlg;", false, {"[..]", "[-c-]", "[logs]", "LOG1.TLG", "a.tlg", "x.csv", "b.TlG"}},
      {".tlg", false, {"[..]", "[-c-]", "[logs]"}},  // no ";": no extension at all
      {".csv;.tlg", false, {"[..]", "[-c-]", "[logs]", "x.csv"}},
      {"", true, listed},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(FilterChooserEntries(listed, c.filter, c.showAll, Unchanged), c.kept) << c.filter;
  }
}

TEST(ChooserListing, FilesShowTheirLongNameButAreFilteredByTheNameAsListed) {
  const auto longName = [](std::string_view name) { return "long " + std::string(name); };
  EXPECT_EQ(FilterChooserEntries({"[sub]", "LOG~1.TLG", "x.csv"}, ".tlg;", false, longName),
            (Entries{"[sub]", "long LOG~1.TLG"}));
}

TEST(ChooserListing, EntryKindsAndTheFoldersTheyOpen) {
  EXPECT_TRUE(IsDriveEntry("[-c-]"));
  EXPECT_FALSE(IsDriveEntry("[-c]"));
  EXPECT_FALSE(IsDriveEntry("[c-c]"));
  EXPECT_EQ(FolderOfEntry("[-d-]"), "d:\\");
  EXPECT_EQ(FolderOfEntry("[..]"), "..");
  EXPECT_EQ(FolderOfEntry("[/media/usb]"), "/media/usb");
  EXPECT_TRUE(IsFolderEntry("[/]"));
  EXPECT_TRUE(IsFolderEntry("odd]"));
  EXPECT_FALSE(IsFolderEntry("[odd"));
}

TEST(ChooserListing, EntriesSortByTextWithoutRegardToCase) {
  Entries entries = {"b.tlg", "[sub]", "A.tlg", "[..]", "a.TLG", "[Zeta]", "[-c-]"};
  SortEntries(entries);
  EXPECT_EQ(entries, (Entries{"[-c-]", "[..]", "[sub]", "[Zeta]", "A.tlg", "a.TLG", "b.tlg"}));
}

TEST(ChooserListing, EachFileSystemRootBecomesADriveOrFolderEntry) {
  const struct {
    const char* root;
    const char* entry;
  } kCases[] = {
      {"C:\\", "[-c-]"},
      {"d:\\", "[-d-]"},
      {"E:/", "[-e-]"},
      {"/", "[/]"},
      {"/media/usb stick", "[/media/usb stick]"},
      {"C:", "[C:]"},
      {"\\\\server\\share\\", "[\\\\server\\share\\]"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(DriveEntryOf(c.root), c.entry) << c.root;
  }
  const Entries drives = DriveEntries();
  EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
  EXPECT_EQ(std::adjacent_find(drives.begin(), drives.end()), drives.end());
  EXPECT_TRUE(std::all_of(drives.begin(), drives.end(), IsFolderEntry));
}

}  // namespace
}  // namespace klxr
