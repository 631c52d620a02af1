// Save with an empty log over a file that holds records: the second question, its default and
// what each answer leaves in the file.
#include "desktop/empty_log_save.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <fstream>
#include <iterator>

#include "app_test_support.h"
#include "desktop/qt/file_chooser.h"
#include "log/log_files.h"
#include "resources/command_ids.h"

namespace klxr {
namespace {

using testing::AppTest;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

const std::string kSample = std::string(KLXR_SOURCE_DIR) + "/samples/mixed.tlg";  // 40 records
const std::string kZeroImage(kLogImageSize, '\0');

// The sample's first record and nothing after it.
std::string OneRecordLog() {
  std::string log = kZeroImage;
  log.replace(0, kRecordSize, ReadFile(kSample).substr(0, kRecordSize));
  return log;
}

// Runs Save with the chooser taking the path typed into its name field.
void SaveTo(Application& app, const std::string& path) {
  testing::WhenModalShown([path](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    ASSERT_NE(chooser, nullptr);
    chooser->NameField().setText(QString::fromStdString(path));
    chooser->OnOk();
  });
  app.Command(cmd::kSave);
}

struct SaveCase {
  const char* name;
  bool logLoaded;          // the program's log holds the sample's 40 records; else none
  const char* fileBefore;  // "" none, "empty", "zeros", "one", "sample", "text"
  std::vector<Answer> answers;
  int fileRecordsAsked;  // the records the second question names; 0 when it is not asked
  bool written;
};

std::string ContentOf(std::string_view kind) {
  if (kind == "empty") {
    return "";
  }
  if (kind == "zeros") {
    return kZeroImage;
  }
  if (kind == "one") {
    return OneRecordLog();
  }
  if (kind == "sample") {
    return ReadFile(kSample);
  }
  return "notes, not a log";
}

const SaveCase kSaveCases[] = {
    {"empty log, new file", false, "", {}, 0, true},
    {"empty log over an empty file", false, "empty", {Answer::Yes}, 0, true},
    {"empty log over a log without records", false, "zeros", {Answer::Yes}, 0, true},
    {"empty log over a file that is no log", false, "text", {Answer::Yes}, 0, true},
    {"empty log over 40 records, No", false, "sample", {Answer::Yes, Answer::No}, 40, false},
    {"empty log over 40 records, Cancel",
     false,
     "sample",
     {Answer::Yes, Answer::Cancel},
     40,
     false},
    {"empty log over 40 records, Yes", false, "sample", {Answer::Yes, Answer::Yes}, 40, true},
    {"empty log over one record, No", false, "one", {Answer::Yes, Answer::No}, 1, false},
    {"log with records over 40 records", true, "sample", {Answer::Yes}, 0, true},
};

TEST_F(AppTest, SaveOfAnEmptyLogOverRecordsAsksOnceMoreWithNoAsDefault) {
  for (const SaveCase& test : kSaveCases) {
    SCOPED_TRACE(test.name);
    StartWithMeter();
    if (test.logLoaded) {
      ASSERT_EQ(LoadLogFile(State().Image, kSample, nullptr, boxes_, false), 0);
    }
    const std::string path = folder_.Path(QString("%1.tlg").arg(test.name));
    const std::string before = ContentOf(test.fileBefore);
    if (*test.fileBefore != '\0') {
      WriteFile(path, before);
    }
    boxes_.boxes.clear();
    boxes_.defaultNo.clear();
    boxes_.answers.assign(test.answers.begin(), test.answers.end());
    SaveTo(*app_, path);

    std::vector<testing::RecordedBox> expected;
    if (*test.fileBefore != '\0') {
      expected.push_back({msg::kConfirmOverwrite, "Confirm file overwrite?", BoxKind::Question});
    }
    if (test.fileRecordsAsked > 0) {
      expected.push_back(
          {msg::kOwnText, EmptyLogSaveQuestion(path, test.fileRecordsAsked), BoxKind::Question});
      EXPECT_EQ(boxes_.defaultNo, std::vector<std::size_t>{1});
    }
    EXPECT_EQ(boxes_.boxes, expected);
    const std::string saved(State().Image.bytes.begin(), State().Image.bytes.end());
    EXPECT_EQ(ReadFile(path), test.written ? saved : before);
    app_.reset();
    bus_.reset();
  }
}

}  // namespace
}  // namespace klxr
