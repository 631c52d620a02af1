#include "desktop/qt/file_chooser.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <memory>

#include "desktop/chooser_listing.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

using testing::RecordingMessageBoxes;

constexpr int kStillOpen = 0;

class FileChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"LOG1.TLG", "a.tlg", "a.tlg.bak", "tlg", "x.csv"}) {
      folder_.MakeFile(file);
    }
    folder_.MakeFolder("sub");
    folder_.MakeFolder("logs.old");
    request_.StartFolder = folder_.Path();
    request_.ChooserFolder = request_.StartFolder;
    request_.ExtensionFilter = ".tlg;";
    request_.DefaultExtension = ".tlg";
  }

  std::unique_ptr<FileChooser> Open(bool saveMode) {
    request_.SaveMode = saveMode;
    return std::make_unique<FileChooser>(request_, boxes_, nullptr);
  }

  // The entries listed, drives left out.
  static QStringList Listed(const FileChooser& chooser) {
    const std::vector<std::string> drives = DriveEntries();
    QStringList entries;
    for (int row = 0; row < chooser.List().count(); ++row) {
      const QString text = chooser.List().item(row)->text();
      if (std::find(drives.begin(), drives.end(), text.toStdString()) == drives.end()) {
        entries << text;
      }
    }
    return entries;
  }

  static int RowOf(const FileChooser& chooser, const QString& text) {
    const QList<QListWidgetItem*> found = chooser.List().findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? -1 : chooser.List().row(found.front());
  }

  static QString Q(const std::string& path) { return QString::fromStdString(path); }

  testing::TemporaryFolder folder_;
  ChooserRequest request_;
  RecordingMessageBoxes boxes_;
};

TEST_F(FileChooserTest, OpensOnTheStartFolderWithItsTextsAndTheFilteredList) {
  request_.ChosenPath = "first.tlg";
  const auto chooser = Open(false);
  EXPECT_EQ(chooser->windowTitle(), "Enter Filename");
  EXPECT_EQ(FindControl<QPushButton>(*chooser, ctl::kCancel)->text(), "Cancel");
  EXPECT_EQ(chooser->NameField().text(), "first.tlg");
  EXPECT_EQ(request_.ChosenPath, "");
  EXPECT_EQ(chooser->FolderLabel().text(), Q(folder_.Path()));
  EXPECT_EQ(CurrentFolder(), folder_.Path());
  EXPECT_EQ(Listed(*chooser), (QStringList{"[..]", "[logs.old]", "[sub]", "a.tlg", "LOG1.TLG"}));
  EXPECT_GE(RowOf(*chooser, "[/]"), 0);
}

TEST_F(FileChooserTest, ShowAllListsTheSameFolderAgainOnceTheClickIsHandled) {
  const auto chooser = Open(false);
  const QStringList filtered = Listed(*chooser);
  chooser->ShowAll().click();
  EXPECT_EQ(Listed(*chooser), filtered);
  QCoreApplication::processEvents();
  EXPECT_EQ(Listed(*chooser), (QStringList{"[..]", "[logs.old]", "[sub]", "a.tlg", "a.tlg.bak",
                                           "LOG1.TLG", "tlg", "x.csv"}));
  EXPECT_EQ(request_.ChooserFolder, folder_.Path());
  chooser->ShowAll().click();
  QCoreApplication::processEvents();
  EXPECT_EQ(Listed(*chooser), filtered);
}

TEST_F(FileChooserTest, SelectingAFileWritesItsNameAndAFolderLeavesTheField) {
  const auto chooser = Open(false);
  chooser->List().setCurrentRow(RowOf(*chooser, "LOG1.TLG"));
  EXPECT_EQ(chooser->NameField().text(), "LOG1.TLG");
  chooser->List().setCurrentRow(RowOf(*chooser, "[sub]"));
  EXPECT_EQ(chooser->NameField().text(), "LOG1.TLG");
}

TEST_F(FileChooserTest, TypedNames) {
  struct Case {
    bool saveMode;
    const char* startIn;  // sub-folder shown, "" for the temporary folder
    QString typed;
    int result;
    const char* chosen;  // relative to the temporary folder; "" for none
    std::vector<int> boxes;
    QString fieldAfter;
  };
  const std::vector<int> kNoBox;
  const std::vector<int> kInvalid = {msg::kInvalidBinaryFile};
  const QString kTooLong(1100, 'n');
  const Case kCases[] = {
      {true, "", "report", 1, "report.tlg", kNoBox, "report"},
      {true, "", "report.txt", 1, "report.txt", kNoBox, "report.txt"},
      {true, "logs.old", "report", 1, "logs.old/report", kNoBox, "report"},  // dot in the path
      {true, "", "sub/new", 1, "sub/new.tlg", kNoBox, "sub/new"},
      {false, "", "a.tlg", 1, "a.tlg", kNoBox, "a.tlg"},
      {false, "", "missing.tlg", kStillOpen, "", kInvalid, "missing.tlg"},
      {false, "", "missing", kStillOpen, "", kInvalid, "missing"},
      {true, "", kTooLong, kStillOpen, "", kInvalid, kTooLong},
      {false, "", "", kStillOpen, "", kNoBox, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed.left(40).toStdString());
    request_.StartFolder = folder_.Path(c.startIn);
    boxes_.boxes.clear();
    const auto chooser = Open(c.saveMode);
    chooser->NameField().setText(c.typed);
    chooser->OnOk();
    EXPECT_EQ(chooser->result(), c.result);
    EXPECT_EQ(request_.ChosenPath, *c.chosen == '\0' ? "" : folder_.Path(c.chosen));
    EXPECT_EQ(boxes_.Indexes(), c.boxes);
    EXPECT_EQ(chooser->NameField().text(), c.fieldAfter);
    EXPECT_EQ(request_.ChooserFolder, folder_.Path(c.startIn));
  }
}

TEST_F(FileChooserTest, ATypedFolderIsListedAndTheFieldCleared) {
  for (bool saveMode : {false, true}) {
    request_.StartFolder = folder_.Path();
    const auto chooser = Open(saveMode);
    chooser->NameField().setText("logs.old");
    chooser->OnOk();
    EXPECT_EQ(chooser->result(), kStillOpen);
    EXPECT_EQ(chooser->FolderLabel().text(), Q(folder_.Path("logs.old")));
    EXPECT_EQ(chooser->NameField().text(), "");
    EXPECT_EQ(request_.ChosenPath, "");
  }
}

TEST_F(FileChooserTest, AnExistingFileInSaveModeIsTakenOnlyAfterYes) {
  struct Case {
    Answer answer;
    int result;
  };
  const Case kCases[] = {{Answer::Yes, 1}, {Answer::No, kStillOpen}, {Answer::Cancel, kStillOpen}};
  for (const Case& c : kCases) {
    for (bool doubleClick : {false, true}) {
      for (const char* typed : {"a.tlg", "a"}) {  // "a" becomes the existing a.tlg
        if (doubleClick && std::string(typed) == "a") {
          continue;
        }
        boxes_.boxes.clear();
        boxes_.answers = {c.answer};
        const auto chooser = Open(true);
        if (doubleClick) {
          chooser->OnDoubleClick(RowOf(*chooser, typed));
        } else {
          chooser->NameField().setText(typed);
          chooser->OnOk();
        }
        EXPECT_EQ(boxes_.Indexes(), std::vector<int>{msg::kConfirmOverwrite});
        EXPECT_EQ(chooser->result(), c.result);
        if (c.result == kStillOpen) {
          EXPECT_EQ(chooser->NameField().text(), QString(typed));
        } else {
          EXPECT_EQ(request_.ChosenPath, folder_.Path("a.tlg"));
        }
      }
    }
  }
}

TEST_F(FileChooserTest, DoubleClicksWalkFoldersAndCancelReportsTheFolderShownLast) {
  const auto chooser = Open(false);
  chooser->OnDoubleClick(RowOf(*chooser, "[sub]"));
  EXPECT_EQ(chooser->FolderLabel().text(), Q(folder_.Path("sub")));
  chooser->OnDoubleClick(RowOf(*chooser, "[..]"));
  EXPECT_EQ(chooser->FolderLabel().text(), Q(folder_.Path()));
  chooser->OnDoubleClick(RowOf(*chooser, "[logs.old]"));
  chooser->OnDoubleClick(-1);
  chooser->reject();  // Escape, the close box and the Cancel button all come here
  EXPECT_EQ(chooser->result(), 2);
  EXPECT_EQ(request_.ChosenPath, "");
  EXPECT_EQ(request_.ChooserFolder, folder_.Path("logs.old"));
  EXPECT_EQ(CurrentFolder(), folder_.Path("logs.old"));
}

TEST_F(FileChooserTest, ADoubleClickedFileReportsItsOwnFolder) {
  const auto chooser = Open(false);
  chooser->OnDoubleClick(RowOf(*chooser, "[sub]"));
  chooser->OnDoubleClick(RowOf(*chooser, "[..]"));
  chooser->OnDoubleClick(RowOf(*chooser, "LOG1.TLG"));
  EXPECT_EQ(chooser->result(), 1);
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_EQ(request_.ChosenPath, folder_.Path("LOG1.TLG"));
  EXPECT_EQ(request_.ChooserFolder, folder_.Path());
}

TEST_F(FileChooserTest, ADriveEntryListsItsRoot) {
  const auto chooser = Open(false);
  chooser->OnDoubleClick(RowOf(*chooser, "[/]"));
  EXPECT_EQ(chooser->FolderLabel().text(), "/");
  EXPECT_EQ(RowOf(*chooser, "[..]"), -1);
}

TEST_F(FileChooserTest, AStartFolderThatIsGoneListsTheCurrentDirectory) {
  QDir::setCurrent(Q(folder_.Path("sub")));
  request_.StartFolder = folder_.Path("gone");
  const auto chooser = Open(false);
  EXPECT_EQ(chooser->FolderLabel().text(), Q(folder_.Path("sub")));
  EXPECT_EQ(request_.StartFolder, folder_.Path("sub"));
  EXPECT_TRUE(boxes_.boxes.empty());
}

#ifndef _WIN32
TEST_F(FileChooserTest, AStartFolderThatCannotBeReadListsTheCurrentDirectory) {
  ASSERT_TRUE(testing::OrdinaryUser::MakeUnreadableFolder(folder_.Path("locked")));
  QDir::setCurrent(Q(folder_.Path("sub")));
  const testing::OrdinaryUser user(folder_.Path());
  if (!user.CanHold()) {
    GTEST_SKIP() << "root reads every folder and cannot act as another user here";
  }
  request_.StartFolder = folder_.Path("locked");
  const auto chooser = Open(false);
  EXPECT_EQ(chooser->FolderLabel().text(), Q(folder_.Path("sub")));
  EXPECT_EQ(request_.StartFolder, folder_.Path("sub"));
  EXPECT_EQ(CurrentFolder(), folder_.Path("sub"));
  EXPECT_TRUE(boxes_.boxes.empty());
}
#endif

TEST_F(FileChooserTest, EnterInTheNameFieldRunsOk) {
  const auto chooser = Open(false);
  chooser->show();
  chooser->NameField().setText("a.tlg");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(&chooser->NameField(), &enter);
  EXPECT_EQ(chooser->result(), 1);
  EXPECT_EQ(request_.ChosenPath, folder_.Path("a.tlg"));
}

TEST(ChooserPosition, RightOfTheOwnerElseLeftElseTheTemplatePosition) {
  const QRect screen(0, 0, 1000, 700);
  const QSize chooser(300, 400);
  const QPoint templatePosition(5, 6);
  struct Case {
    QRect owner;
    QPoint expected;
  };
  const Case kCases[] = {
      {{100, 50, 230, 90}, {330, 50}},  // room on the right
      {{400, 50, 300, 90}, {700, 50}},  // just room: 1000 - 700 = 300
      {{401, 60, 300, 90}, {101, 60}},  // no room on the right: to the left
      {{300, 70, 500, 90}, {0, 70}},    // just room on the left
      {{299, 80, 500, 90}, templatePosition},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ChooserPosition(c.owner, chooser, screen, templatePosition), c.expected)
        << c.owner.x();
  }
}

TEST_F(FileChooserTest, OpensBesideItsOwner) {
  QWidget owner;
  owner.setGeometry(40, 30, 230, 90);
  owner.show();
  request_.SaveMode = false;
  FileChooser chooser(request_, boxes_, &owner);
  EXPECT_EQ(chooser.pos(), QPoint(owner.frameGeometry().right() + 1, owner.frameGeometry().top()));
}

}  // namespace
}  // namespace klxr

namespace klxr {
namespace {

TEST_F(FileChooserTest, ALongFolderIsShortenedInTheMiddleAndWholeInItsTooltip) {
  const QString deep =
      "measurements-of-the-northern-transmitter-sites/2026/december/"
      "second-week-after-the-antenna-was-realigned/exports";
  folder_.MakeFolder(deep);
  const struct {
    QString folder;  // inside the test's folder
    bool shortened;
  } kCases[] = {
      {"sub", false},
      {deep, true},
  };
  for (const auto& testCase : kCases) {
    request_.StartFolder = folder_.Path(testCase.folder);
    const auto chooser = Open(false);
    const QLabel& label = chooser->FolderLabel();
    const QString whole = Q(folder_.Path(testCase.folder));
    EXPECT_EQ(label.toolTip(), whole);
    if (!testCase.shortened) {
      EXPECT_EQ(label.text(), whole);
      continue;
    }
    const QString shown = label.text();
    EXPECT_LT(shown.size(), whole.size());
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(whole.left(4))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("/exports")) << shown.toStdString();
    EXPECT_LE(label.fontMetrics().horizontalAdvance(shown), label.contentsRect().width());
  }
}

}  // namespace
}  // namespace klxr
