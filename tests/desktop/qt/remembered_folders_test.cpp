#include "desktop/qt/remembered_folders.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <fstream>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "desktop/qt/file_chooser.h"
#include "desktop/qt/run_file_chooser.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

using testing::RecordingMessageBoxes;
using testing::WhenModalShown;

// Every test keeps its folders in a settings file of its own temporary folder.
class RememberedFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settingsFile_ = QString::fromStdString(folder_.Path("settings/KLXRPlusData.ini"));
    qputenv(kSettingsFileVariable, QFile::encodeName(settingsFile_));
    folder_.MakeFolder("first");
    folder_.MakeFolder("second");
    QDir::setCurrent(QString::fromStdString(folder_.Path()));
  }
  void TearDown() override { qunsetenv(kSettingsFileVariable); }

  void Store(const QString& name, const QVariant& value) const {
    QSettings(settingsFile_, QSettings::IniFormat).setValue(name, value);
  }

  testing::TemporaryFolder folder_;
  QString settingsFile_;
  RecordingMessageBoxes boxes_;
};

TEST_F(RememberedFoldersTest, ReadingFallsBackToTheCurrentDirectoryWithoutReporting) {
  EXPECT_EQ(RememberedFoldersLocation(), settingsFile_);
  EXPECT_EQ(ReadRememberedFolder(kLogLoadDir), folder_.Path());  // no settings file yet
  Store("LogSaveDir", "/somewhere");
  EXPECT_EQ(ReadRememberedFolder(kLogLoadDir), folder_.Path());  // no such value
  Store("LogLoadDir", QString(kPathCapacity, 'x'));
  EXPECT_EQ(ReadRememberedFolder(kLogLoadDir), folder_.Path());  // does not fit
  Store("LogLoadDir", QString(kPathCapacity - 1, 'x'));
  EXPECT_EQ(ReadRememberedFolder(kLogLoadDir), std::string(kPathCapacity - 1, 'x'));
  Store("KLXRPlusExportDir", "/gone/since");
  EXPECT_EQ(ReadRememberedFolder(kExportDir), "/gone/since");  // read back unchanged
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(RememberedFoldersTest, EachValueNameKeepsItsOwnFolder) {
  WriteRememberedFolder(folder_.Path("first"), kLogLoadDir, boxes_);
  WriteRememberedFolder(folder_.Path("second"), kLogSaveDir, boxes_);
  EXPECT_EQ(ReadRememberedFolder(kLogLoadDir), folder_.Path("first"));
  EXPECT_EQ(ReadRememberedFolder(kLogSaveDir), folder_.Path("second"));
  EXPECT_EQ(ReadRememberedFolder(kExportDir), folder_.Path());
  EXPECT_EQ(QSettings(settingsFile_, QSettings::IniFormat).allKeys(),
            (QStringList{"LogLoadDir", "LogSaveDir"}));
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(RememberedFoldersTest, AStoreThatCannotBeWrittenIsReportedOncePerWrite) {
  folder_.MakeFile("plain-file");
  qputenv(kSettingsFileVariable,
          QFile::encodeName(QString::fromStdString(folder_.Path("plain-file/KLXRPlusData.ini"))));
  WriteRememberedFolder(folder_.Path("first"), kLogLoadDir, boxes_);
  EXPECT_EQ(boxes_.boxes,
            (std::vector<testing::RecordedBox>{
                {msg::kCantWriteRegistry,
                 "Can't read system registry, COM setting will not be saved", BoxKind::Error}}));
  WriteRememberedFolder(folder_.Path("first"), kLogSaveDir, boxes_);
  EXPECT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_EQ(ReadRememberedFolder(kLogLoadDir), folder_.Path());
}

// A settings file that is no regular file is never read (so that nothing waits for a FIFO) and is
// written into, never replaced: a link to a device node stays a link to the device node.
TEST_F(RememberedFoldersTest, ASpecialSettingsFileIsNeitherReadNorReplaced) {
  const std::string device = folder_.Path("null-device");
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "device nodes cannot be made here";
  }
  const std::string fifo = folder_.Path("settings-fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string linkTarget;  // the settings file is a link to this
    bool isFifo;
  } kFiles[] = {
      {"link to a device node", device, false},
      {"link to a FIFO without a reader", fifo, true},
  };
  for (const auto& file : kFiles) {
    SCOPED_TRACE(file.name);
    const std::string settings = folder_.Path(QString("%1.ini").arg(file.name));
    ASSERT_EQ(symlink(file.linkTarget.c_str(), settings.c_str()), 0);
    qputenv(kSettingsFileVariable, QFile::encodeName(QString::fromStdString(settings)));
    boxes_.boxes.clear();
    boxes_.details.clear();

    EXPECT_EQ(ReadRememberedFolder(kLogLoadDir), folder_.Path());
    WriteRememberedFolder(folder_.Path("first"), kLogLoadDir, boxes_);
    EXPECT_EQ(ReadRememberedFolder(kLogLoadDir), folder_.Path());

    struct stat link {};
    struct stat target {};
    ASSERT_EQ(lstat(settings.c_str(), &link), 0);
    ASSERT_EQ(stat(settings.c_str(), &target), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    EXPECT_TRUE(file.isFifo ? S_ISFIFO(target.st_mode) : S_ISCHR(target.st_mode));
    if (file.isFifo) {
      // Nothing reads the FIFO: the write fails at once and is reported with the file and reason.
      ASSERT_EQ(boxes_.Indexes(), std::vector<int>{msg::kCantWriteRegistry});
      EXPECT_EQ(
          boxes_.details[0],
          SettingsProblemDetail(settings, "It cannot be written: No such device or address."));
    } else {
      EXPECT_TRUE(boxes_.boxes.empty());
    }
  }
}

TEST_F(RememberedFoldersTest, ARegularFileThatCannotBeReadIsLeftAsItIsAndReported) {
  const std::string settings = folder_.Path("unreadable.ini");
  std::ofstream(settings) << "[General]\nLogSaveDir=/kept\n";
  ASSERT_EQ(chmod(settings.c_str(), 0200), 0);
  qputenv(kSettingsFileVariable, QFile::encodeName(QString::fromStdString(settings)));
  testing::OrdinaryUser user(folder_.Path());
  if (!user.CanHold()) {
    GTEST_SKIP() << "the file stays readable for this user";
  }
  EXPECT_EQ(ReadRememberedFolder(kLogSaveDir), folder_.Path());
  WriteRememberedFolder(folder_.Path("first"), kLogLoadDir, boxes_);
  ASSERT_EQ(boxes_.Indexes(), std::vector<int>{msg::kCantWriteRegistry});
  EXPECT_EQ(boxes_.details[0],
            SettingsProblemDetail(settings,
                                  "It cannot be read, so it is left as it is: Permission denied."));
}

// Runs the chooser for a command; while it is up, action works it like a user would.
bool RunChooser(ChooserRequest& request, const ChooserCommand& command, MessageBoxes& boxes,
                std::function<void(FileChooser&)> action) {
  WhenModalShown([action = std::move(action)](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    ASSERT_NE(chooser, nullptr);
    action(*chooser);
  });
  return RunFileChooser(request, command, nullptr, boxes);
}

void DoubleClick(FileChooser& chooser, const QString& text) {
  const QList<QListWidgetItem*> found = chooser.List().findItems(text, Qt::MatchExactly);
  ASSERT_FALSE(found.isEmpty()) << text.toStdString();
  chooser.OnDoubleClick(chooser.List().row(found.front()));
}

TEST_F(RememberedFoldersTest, TheChooserStartsWhereTheSameCommandEndedLastTime) {
  folder_.MakeFile("first/one.tlg");
  ChooserRequest request;
  // Load from "first", then cancel a save after walking to "second".
  EXPECT_TRUE(RunChooser(request, kLoadLogChooser, boxes_, [](FileChooser& chooser) {
    DoubleClick(chooser, "[first]");
    DoubleClick(chooser, "one.tlg");
  }));
  EXPECT_EQ(request.ChosenPath, folder_.Path("first/one.tlg"));
  EXPECT_FALSE(RunChooser(request, kSaveLogChooser, boxes_, [](FileChooser& chooser) {
    DoubleClick(chooser, "[..]");
    DoubleClick(chooser, "[second]");
    chooser.OnCancel();
  }));
  EXPECT_EQ(request.ChosenPath, "");
  EXPECT_EQ(request.DefaultExtension, ".tlg");
  EXPECT_TRUE(request.SaveMode);

  QString loadStart;
  QString saveStart;
  RunChooser(request, kLoadLogChooser, boxes_, [&](FileChooser& chooser) {
    loadStart = chooser.FolderLabel().text();
    chooser.OnCancel();
  });
  RunChooser(request, kSaveLogChooser, boxes_, [&](FileChooser& chooser) {
    saveStart = chooser.FolderLabel().text();
    chooser.OnCancel();
  });
  EXPECT_EQ(loadStart.toStdString(), folder_.Path("first"));
  EXPECT_EQ(saveStart.toStdString(), folder_.Path("second"));
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(RememberedFoldersTest, ARememberedFolderThatIsGoneStartsInTheCurrentDirectory) {
  Store("KLXRPlusExportDir", QString::fromStdString(folder_.Path("deleted")));
  QDir::setCurrent(QString::fromStdString(folder_.Path("second")));
  ChooserRequest request;
  QString shown;
  RunChooser(request, kExportCsvChooser, boxes_, [&](FileChooser& chooser) {
    shown = chooser.FolderLabel().text();
    chooser.OnCancel();
  });
  EXPECT_EQ(shown.toStdString(), folder_.Path("second"));
  EXPECT_EQ(request.ExtensionFilter, ".csv;");
  EXPECT_EQ(ReadRememberedFolder(kExportDir), folder_.Path("second"));
}

}  // namespace
}  // namespace klxr
