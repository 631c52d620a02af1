#include "desktop/chooser_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "desktop/chooser_listing.h"
#include "desktop/folder_paths.h"
#include "support/recording_message_boxes.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::RecordingMessageBoxes;

// The chooser's controls, as plain values.
class FakeView : public ChooserView {
 public:
  void ShowEntries(const std::vector<std::string>& shown) override { entries = shown; }
  void ShowFolder(const std::string& shown) override { folder = shown; }
  std::string NameText() const override { return name; }
  void SetNameText(const std::string& text) override { name = text; }
  bool ShowAllTicked() const override { return showAll; }
  void EndChooser(int ended) override { result = ended; }

  // The entries without the drives.
  std::vector<std::string> Listed() const {
    const std::vector<std::string> drives = DriveEntries();
    std::vector<std::string> listed;
    for (const std::string& entry : entries) {
      if (std::find(drives.begin(), drives.end(), entry) == drives.end()) {
        listed.push_back(entry);
      }
    }
    return listed;
  }

  std::vector<std::string> entries;
  std::string folder;
  std::string name;
  bool showAll = false;
  int result = 0;
};

// A folder of logs of the test's own; the current directory is put back afterwards.
class ChooserFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    root_ = fs::temp_directory_path() / ("klxr-chooser-" + std::to_string(std::random_device{}()));
    fs::create_directories(root_ / "sub");
    fs::create_directories(root_ / "logs.old");
    root_ = fs::canonical(root_);
    for (const char* file : {"a.tlg", "LOG1.TLG", "x.csv"}) {
      std::ofstream(root_ / file) << "log";
    }
    request_.StartFolder = Path("");
    request_.ExtensionFilter = ".tlg;";
    request_.DefaultExtension = ".tlg";
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(root_);
  }

  std::string Path(const std::string& name) const {
    return name.empty() ? root_.string() : (root_ / name).make_preferred().string();
  }

  fs::path previous_;
  fs::path root_;
  ChooserRequest request_;
  RecordingMessageBoxes boxes_;
  FakeView view_;
};

TEST_F(ChooserFlowTest, ATypedNameIsTakenListedOrRefusedByTheMode) {
  using Boxes = std::vector<int>;
  const struct {
    bool saveMode;
    const char* startIn;
    const char* typed;
    Answer answer;       // to an overwrite question
    int result;          // 0: still open
    const char* chosen;  // when it ends
    Boxes boxes;
  } kCases[] = {
      {true, "", "report", Answer::Cancel, 1, "report.tlg", {}},
      {true, "", "report.txt", Answer::Cancel, 1, "report.txt", {}},
      {true, "logs.old", "report", Answer::Cancel, 1, "logs.old/report", {}},  // a dot in the path
      {true, "", "a", Answer::Yes, 1, "a.tlg", {msg::kConfirmOverwrite}},
      {true, "", "a.tlg", Answer::No, 0, "", {msg::kConfirmOverwrite}},
      {false, "", "a.tlg", Answer::Cancel, 1, "a.tlg", {}},
      {false, "", "missing", Answer::Cancel, 0, "", {msg::kInvalidBinaryFile}},
      {false, "", "", Answer::Cancel, 0, "", {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.typed);
    request_.SaveMode = c.saveMode;
    request_.StartFolder = Path(c.startIn);
    boxes_.boxes.clear();
    boxes_.answers = {c.answer};
    view_ = FakeView();
    ChooserFlow flow(request_, boxes_, view_);
    flow.Open();
    view_.name = c.typed;
    flow.OnOk();
    EXPECT_EQ(view_.result, c.result);
    if (c.result == kChooserChose) {
      EXPECT_EQ(request_.ChosenPath, Path(c.chosen));
    }
    EXPECT_EQ(boxes_.Indexes(), c.boxes);
    EXPECT_EQ(view_.name, c.typed);
    EXPECT_EQ(request_.ChooserFolder, Path(c.startIn));
  }
}

TEST_F(ChooserFlowTest, FoldersAreWalkedAndTheChooserEndsWithTheFolderToRemember) {
  ChooserFlow flow(request_, boxes_, view_);
  request_.ChosenPath = "first.tlg";
  flow.Open();
  EXPECT_EQ(view_.name, "first.tlg");
  EXPECT_EQ(request_.ChosenPath, "");
  EXPECT_EQ(view_.folder, Path(""));
  EXPECT_EQ(view_.Listed(),
            (std::vector<std::string>{"[..]", "[logs.old]", "[sub]", "a.tlg", "LOG1.TLG"}));
  view_.showAll = true;
  flow.OnShowAllChanged();
  EXPECT_EQ(view_.Listed().back(), "x.csv");

  flow.OnSelect("[sub]");
  EXPECT_EQ(view_.name, "first.tlg");
  flow.OnDoubleClick("[sub]");
  EXPECT_EQ(view_.folder, Path("sub"));
  EXPECT_EQ(CurrentFolder(), Path("sub"));
  view_.name = "logs.old";
  flow.OnOk();  // not a folder here
  EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kInvalidBinaryFile});
  view_.name = "../logs.old";
  flow.OnOk();  // a typed folder is listed and the field cleared
  EXPECT_EQ(view_.folder, Path("logs.old"));
  EXPECT_EQ(view_.name, "");
  flow.OnCancel();
  EXPECT_EQ(view_.result, kChooserCancelled);
  EXPECT_EQ(request_.ChooserFolder, Path("logs.old"));

  flow.OnDoubleClick("[..]");
  flow.OnSelect("LOG1.TLG");
  EXPECT_EQ(view_.name, "LOG1.TLG");
  flow.OnDoubleClick("LOG1.TLG");
  EXPECT_EQ(view_.result, kChooserChose);
  EXPECT_EQ(request_.ChosenPath, Path("LOG1.TLG"));
  EXPECT_EQ(request_.ChooserFolder, Path(""));
}

}  // namespace
}  // namespace klxr
