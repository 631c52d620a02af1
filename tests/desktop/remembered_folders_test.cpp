#include "desktop/remembered_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "desktop/folder_paths.h"
#include "desktop/run_file_chooser.h"
#include "support/recording_message_boxes.h"

namespace klxr {
namespace {

using testing::RecordingMessageBoxes;

// A store in memory; writes fail with the given detail while it is set.
class FakeStore : public SettingsStore {
 public:
  std::optional<std::string> ReadValue(std::string_view name) override {
    reads.emplace_back(name);
    const auto found = values.find(std::string(name));
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
  std::optional<std::string> WriteValue(std::string_view name, std::string_view value) override {
    if (failure) {
      return failure;
    }
    values[std::string(name)] = std::string(value);
    return std::nullopt;
  }
  std::map<std::string, std::string> values;
  std::vector<std::string> reads;
  std::optional<std::string> failure;
};

TEST(RememberedFolders, ReadsTheValueElseTheCurrentFolder) {
  const std::string here = CurrentFolder();
  const std::string longest(kPathCapacity - 1, 'x');
  const struct {
    const char* what;
    std::optional<std::string> stored;
    std::string read;
  } kCases[] = {
      {"nothing stored", std::nullopt, here},
      {"a folder, gone or not", "/gone/since", "/gone/since"},
      {"the text ends at its first zero byte", std::string("/logs\0junk", 10), "/logs"},
      {"the longest that fits", longest, longest},
      {"one more does not fit", longest + "x", here},
      {"an empty value", "", ""},
  };
  for (const auto& c : kCases) {
    FakeStore store;
    if (c.stored) {
      store.values["LogLoadDir"] = *c.stored;
    }
    EXPECT_EQ(ReadRememberedFolder(store, kLogLoadDir), c.read) << c.what;
    EXPECT_EQ(store.reads, std::vector<std::string>{"LogLoadDir"}) << c.what;
  }
}

TEST(RememberedFolders, AStoreThatCannotBeWrittenShowsOneBoxPerWriteWithItsDetail) {
  FakeStore store;
  RecordingMessageBoxes boxes;
  WriteRememberedFolder(store, "/first", kLogSaveDir, boxes);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(store.values, (std::map<std::string, std::string>{{"LogSaveDir", "/first"}}));

  store.failure = "The folder is not remembered in the store: it is full.";
  for (const std::string_view name : {kLogLoadDir, kExportDir}) {
    WriteRememberedFolder(store, "/second", name, boxes);
  }
  const testing::RecordedBox box{msg::kCantWriteRegistry,
                                 "Can't read system registry, COM setting will not be saved",
                                 BoxKind::Error};
  EXPECT_EQ(boxes.boxes, (std::vector<testing::RecordedBox>{box, box}));
  EXPECT_EQ(boxes.details, (std::vector<std::string>{*store.failure, *store.failure}));
  EXPECT_EQ(store.values.size(), 1u);
}

// The sequence around the chooser: each command reads its own folder, fills the request, and
// remembers the folder the chooser ended in, chosen or cancelled.
TEST(RunFileChooser, StartsInTheCommandsFolderAndRemembersWhereTheChooserEnded) {
  const struct {
    const ChooserCommand* command;
    const char* chosen;  // "" for cancelled
    const char* filter;
    const char* defaultExtension;
    bool saveMode;
  } kCases[] = {
      {&kLoadLogChooser, "/logs/a.tlg", ".tlg;", "", false},
      {&kSaveLogChooser, "", ".tlg;", ".tlg", true},
      {&kExportCsvChooser, "/out/b.csv", ".csv;", ".csv", true},
      {&kSaveReportChooser, "", ".pdf;", ".pdf", true},
  };
  for (const auto& c : kCases) {
    const std::string name(c.command->valueName);
    SCOPED_TRACE(name);
    FakeStore store;
    store.values[name] = "/start/" + name;
    RecordingMessageBoxes boxes;
    ChooserRequest request;
    request.ChosenPath = "left over";
    const bool chose = RunFileChooser(request, *c.command, store, boxes, [&](ChooserRequest& r) {
      EXPECT_EQ(r.StartFolder, "/start/" + name);
      EXPECT_EQ(r.ChooserFolder, r.StartFolder);
      EXPECT_EQ(r.ChosenPath, "");
      EXPECT_EQ(r.ExtensionFilter, c.filter);
      EXPECT_EQ(r.DefaultExtension, c.defaultExtension);
      EXPECT_EQ(r.SaveMode, c.saveMode);
      r.ChosenPath = c.chosen;
      r.ChooserFolder = "/ended/in";
    });
    EXPECT_EQ(chose, *c.chosen != '\0');
    EXPECT_EQ(store.values[name], "/ended/in");
    EXPECT_TRUE(boxes.boxes.empty());
  }
}

}  // namespace
}  // namespace klxr
