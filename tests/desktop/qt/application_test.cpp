// The program's start-up and the main window's command table, on the in-process virtual meter.
#include "desktop/application.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app_test_support.h"
#include "desktop/command_table.h"
#include "desktop/qt/file_chooser.h"
#include "desktop/qt/log_time.h"
#include "desktop/qt/qt_message_boxes.h"
#include "log/log_files.h"
#include "resources/command_ids.h"

namespace klxr {
namespace {

using testing::AppTest;
using testing::ModalWatcher;
using testing::RecordedBox;
using testing::RunEventsUntil;
using testing::WhenModalShown;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool AllZero(const LogImage& image) {
  return std::all_of(image.bytes.begin(), image.bytes.end(), [](auto b) { return b == 0; });
}

// Start-up through the program's own services: the driver library named by KLXR_D2XX_LIBRARY.
class StartUpTest : public AppTest {
 protected:
  StartUpTest() : previousLibrary_(qgetenv(kDriverLibraryVariable)) {}
  ~StartUpTest() override {
    app_.reset();
    if (previousLibrary_.isNull()) {
      qunsetenv(kDriverLibraryVariable);
    } else {
      qputenv(kDriverLibraryVariable, previousLibrary_);
    }
  }
  bool StartWithLibrary(const char* library, std::string_view commandLine = "") {
    qputenv(kDriverLibraryVariable, library);
    app_ = std::make_unique<Application>(shell_, boxes_);
    return app_->Start(commandLine);
  }

  QByteArray previousLibrary_;
};

TEST_F(StartUpTest, WithTheDriverLibraryShowsTheWindowAndMakesTheSharedPort) {
  ASSERT_TRUE(StartWithLibrary(KLXR_VIRTUAL_METER_LIBRARY));
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_TRUE(Window().isVisible());
  EXPECT_EQ(Window().windowTitle(), "KL-XR Meter - Log");
  EXPECT_EQ(State().AppCaption, "KL-XR Meter - Log");
  EXPECT_FALSE(State().QuietMode);
  EXPECT_TRUE(AllZero(State().Image));
  ASSERT_NE(State().Link.DriverLibrary, nullptr);
  ASSERT_NE(State().Link.SharedPort, nullptr);
  EXPECT_EQ(State().Link.SharedPort, State().SharedComAccess.get());
  EXPECT_FALSE(State().SharedComAccess->IsOpen());
  EXPECT_FALSE(State().Link.Download.DownloadRunning);
  EXPECT_FALSE(Window().CommandAction(cmd::kView)->isEnabled());

  // Closing ends the run: the loop is not entered again, the shared port is destroyed.
  Window().close();
  EXPECT_TRUE(app_->Closed());
  EXPECT_EQ(app_->Run(), 0);
  EXPECT_EQ(State().Link.SharedPort, nullptr);
  EXPECT_EQ(State().SharedComAccess, nullptr);
}

TEST_F(StartUpTest, WithoutTheDriverLibraryTellsTheUserAfterShowingTheWindowAndEnds) {
  EXPECT_FALSE(StartWithLibrary("/nonexistent/libno-driver.so"));
  // The catalogue's warning as it stands; its detail names the file tried, the system's reason and
  // the variable that named it.
  EXPECT_EQ(boxes_.boxes,
            (std::vector<RecordedBox>{{msg::kCantLoadUsbDriver, LoadText(msg::kCantLoadUsbDriver),
                                       BoxKind::Information}}));
  ASSERT_EQ(boxes_.details.size(), 1u);
  EXPECT_THAT(boxes_.details[0],
              ::testing::AllOf(::testing::HasSubstr("/nonexistent/libno-driver.so ("),
                               ::testing::HasSubstr("No such file"),
                               ::testing::HasSubstr(kDriverLibraryVariable)));
  EXPECT_TRUE(Window().isVisible());
  EXPECT_EQ(State().Link.DriverLibrary, nullptr);
  EXPECT_EQ(State().Link.SharedPort, nullptr);
}

TEST_F(StartUpTest, ScansTheCommandLineForQuietMode) {
  ASSERT_TRUE(StartWithLibrary(KLXR_VIRTUAL_METER_LIBRARY, "log.tlg x+Qy"));
  EXPECT_TRUE(State().QuietMode);
  app_.reset();
  ASSERT_TRUE(StartWithLibrary(KLXR_VIRTUAL_METER_LIBRARY, "++Q +q"));
  EXPECT_FALSE(State().QuietMode);
}

TEST_F(AppTest, WithoutMemoryForTheSharedPortTellsTheUserAndEnds) {
  bus_ = std::make_unique<vm::VirtualBus>(vm::OneMeter({}));
  StartUpServices services = testing::BusServices(*bus_);
  services.makeComAccess = [](const d2xx::D2xxFunctions&) { return nullptr; };
  app_ = std::make_unique<Application>(shell_, boxes_, services);
  EXPECT_FALSE(app_->Start(""));
  EXPECT_EQ(boxes_.boxes,
            (std::vector<RecordedBox>{{msg::kNoMemoryForComAccess,
                                       "Error: Not enough memory to create ComAccess object!",
                                       BoxKind::Error}}));
  EXPECT_EQ(State().Link.SharedPort, nullptr);
  EXPECT_TRUE(bus_->CallLog().empty());
}

// What the chooser of a command was asked for.
struct ChooserSeen {
  bool opened = false;
  QString title;
  bool saveMode = false;
  std::string filter;
  std::string defaultExtension;
  std::string folderShown;
};

// Runs a command whose chooser is then cancelled; returns what the chooser was asked for.
ChooserSeen CancelChooserOf(Application& app, int commandId) {
  ChooserSeen seen;
  WhenModalShown([&seen, &app](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    ASSERT_NE(chooser, nullptr);
    const ChooserRequest& request = app.State().Chooser;
    seen = {true,
            chooser->windowTitle(),
            request.SaveMode,
            request.ExtensionFilter,
            request.DefaultExtension,
            CurrentFolder()};
    chooser->OnCancel();
  });
  app.Command(commandId);
  return seen;
}

TEST_F(AppTest, LoadSaveAndExportOpenTheChooserOfTheirRowAndRememberItsFolder) {
  StartWithMeter();
  State().Image.Slot(0)[0] = 'A';  // one record, so that Export goes as far as the chooser
  State().Chooser.DefaultExtension = ".old";
  struct Row {
    int commandId;
    std::string_view valueName;
    bool saveMode;
    std::string filter;
    std::string defaultExtension;
  };
  const std::vector<Row> rows{
      {cmd::kLoad, kLogLoadDir, false, ".tlg;", ".old"},  // load mode leaves it unchanged
      {cmd::kSave, kLogSaveDir, true, ".tlg;", ".tlg"},
      {cmd::kExport, kExportDir, true, ".csv;", ".csv"},
  };
  for (const Row& row : rows) {
    const std::string folder = folder_.Path(QString::number(row.commandId));
    folder_.MakeFolder(QString::number(row.commandId));
    QDir::setCurrent(QString::fromStdString(folder));
    const ChooserSeen seen = CancelChooserOf(*app_, row.commandId);
    ASSERT_TRUE(seen.opened) << row.commandId;
    EXPECT_EQ(seen.title, "Enter Filename");
    EXPECT_EQ(seen.saveMode, row.saveMode) << row.commandId;
    EXPECT_EQ(seen.filter, row.filter) << row.commandId;
    EXPECT_EQ(seen.defaultExtension, row.defaultExtension) << row.commandId;
    EXPECT_EQ(seen.folderShown, folder) << row.commandId;
    EXPECT_EQ(ReadRememberedFolder(row.valueName), folder) << row.commandId;
  }
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_TRUE(bus_->CallLog().empty());
}

// Runs a command whose chooser takes the path typed into its name field.
void ChooseIn(Application& app, int commandId, const std::string& path) {
  WhenModalShown([path](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    ASSERT_NE(chooser, nullptr);
    chooser->NameField().setText(QString::fromStdString(path));
    chooser->OnOk();
  });
  app.Command(commandId);
}

TEST_F(AppTest, SaveAfterStartUpWritesTheZeroImage) {
  StartWithMeter();
  ChooseIn(*app_, cmd::kSave, folder_.Path("empty"));
  EXPECT_EQ(ReadFile(folder_.Path("empty.tlg")), std::string(kLogImageSize, '\0'));
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(AppTest, LoadReadsTheChosenFileAndEnablesViewThenExportWritesItsRecords) {
  StartWithMeter();
  const std::string sample = std::string(KLXR_SOURCE_DIR) + "/samples/mixed.tlg";
  ChooseIn(*app_, cmd::kLoad, sample);
  EXPECT_EQ(std::string(State().Image.bytes.begin(), State().Image.bytes.end()), ReadFile(sample));
  EXPECT_TRUE(Window().CommandAction(cmd::kView)->isEnabled());

  ChooseIn(*app_, cmd::kExport, folder_.Path("mixed"));
  EXPECT_EQ(ReadFile(folder_.Path("mixed.csv")), MakeCsvText(State().Image, 40));
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(AppTest, LoadOfAFifoReturnsAtOnceWithInvalidBinaryFile) {
  StartWithMeter();
  const std::string fifo = folder_.Path("pipe.tlg");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  State().Image.Slot(0)[0] = 'A';
  ChooseIn(*app_, cmd::kLoad, fifo);
  EXPECT_EQ(
      boxes_.boxes,
      (std::vector<RecordedBox>{{msg::kInvalidBinaryFile, "Invalid binary file", BoxKind::Error}}));
  EXPECT_EQ(State().Image.Slot(0)[0], 'A');
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(AppTest, ViewAndExportWithoutRecordsSayNoLoggingDataAndOpenNothing) {
  StartWithMeter();
  Window().SetViewEnabled(true);
  ModalWatcher watcher([](QWidget* modal) { modal->close(); });
  app_->Command(cmd::kView);
  app_->Command(cmd::kExport);
  QApplication::processEvents();
  EXPECT_EQ(watcher.count, 0);
  const RecordedBox noData{msg::kNoLoggingData, "No logging data present", BoxKind::Error};
  EXPECT_EQ(boxes_.boxes, (std::vector<RecordedBox>{noData, noData}));
  EXPECT_FALSE(Window().CommandAction(cmd::kView)->isEnabled());
}

TEST_F(AppTest, EraseAnsweredNoOrCancelTalksToNoMeter) {
  StartWithMeter(vm::GeneratedRecords(3));
  boxes_.answers = {Answer::No, Answer::Cancel};
  app_->Command(cmd::kEraseLog);
  app_->Command(cmd::kEraseLog);
  const RecordedBox question{
      msg::kConfirmErase,
      "Please confirm that you wish to erase the meter log data?\n(This may take a few seconds)",
      BoxKind::Question};
  EXPECT_EQ(boxes_.boxes, (std::vector<RecordedBox>{question, question}));
  EXPECT_TRUE(bus_->CallLog().empty());
}

TEST_F(AppTest, EraseAnsweredYesErasesTheMeterLogAndLeavesTheImage) {
  StartWithMeter(vm::GeneratedRecords(3));
  State().Image.Slot(0)[0] = 'D';
  boxes_.answers = {Answer::Yes};
  app_->Command(cmd::kEraseLog);
  EXPECT_EQ(boxes_.Indexes(), (std::vector<int>{msg::kConfirmErase, msg::kLogErased}));
  EXPECT_EQ(boxes_.boxes.back().kind, BoxKind::Plain);
  const std::vector<std::string> wire = bus_->WireLog();
  EXPECT_NE(std::find(wire.begin(), wire.end(), "-> 02 05 45 52 41 53 45 8A"), wire.end());
  EXPECT_EQ(bus_->Adapter(0).Meter()->RecordCount(), 0u);
  EXPECT_EQ(State().Image.Slot(0)[0], 'D');
}

TEST_F(AppTest, TheErasesConfirmationBlocksTheProgramLikeEveryOtherBox) {
  bus_ = std::make_unique<vm::VirtualBus>(vm::OneMeter(vm::GeneratedRecords(2)));
  QtMessageBoxes shownBoxes;
  app_ = std::make_unique<Application>(shell_, shownBoxes, testing::BusServices(*bus_));
  ASSERT_TRUE(app_->Start(""));
  std::vector<QString> texts;
  std::vector<Qt::WindowModality> modalities;
  ModalWatcher watcher([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    texts.push_back(box->text());
    modalities.push_back(box->windowModality());
    QAbstractButton* button = box->button(QMessageBox::Yes);
    (button != nullptr ? button : box->button(QMessageBox::Ok))->click();
  });
  app_->Command(cmd::kEraseLog);
  EXPECT_EQ(texts, (std::vector<QString>{"Please confirm that you wish to erase the meter log "
                                         "data?\n(This may take a few seconds)",
                                         "Meter log data erased"}));
  EXPECT_EQ(modalities,
            (std::vector<Qt::WindowModality>{Qt::ApplicationModal, Qt::ApplicationModal}));
}

TEST_F(AppTest, ExitClosesTheWindowAndEndsTheRun) {
  StartWithMeter();
  app_->Command(cmd::kExit);
  EXPECT_TRUE(app_->Closed());
  EXPECT_FALSE(Window().isVisible());
  EXPECT_EQ(app_->Run(), 0);
  EXPECT_EQ(State().Link.SharedPort, nullptr);
}

// While a Read runs, the close box and Escape reach the program's question; a signal's close and a
// close without a Read ask nothing.
TEST_F(AppTest, TheCloseBoxAndEscapeDuringAReadAskWhetherToStopIt) {
  const RecordedBox question{msg::kOwnText, kStopReadQuestion, BoxKind::Question};
  StartWithMeter(vm::GeneratedRecords(40));
  app_->Command(cmd::kRead);
  boxes_.answers = {Answer::No, Answer::Yes};
  EXPECT_FALSE(Window().close());  // the close box, answered No
  EXPECT_TRUE(Window().isVisible());
  EXPECT_TRUE(State().Link.Download.DownloadRunning);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&Window(), &escape);  // answered Yes: the Read stops, the window stays
  EXPECT_FALSE(State().Link.Download.DownloadRunning);
  EXPECT_TRUE(Window().isVisible());
  EXPECT_EQ(boxes_.boxes, (std::vector<RecordedBox>{question, question}));
  QApplication::sendEvent(&Window(), &escape);  // no Read: nothing
  app_->Command(cmd::kRead);
  Window().CloseWithoutAsking();  // a signal: the Read ends without a question
  EXPECT_EQ(boxes_.boxes.size(), 2u);
  EXPECT_TRUE(app_->Closed());
  EXPECT_FALSE(State().Link.Download.DownloadRunning);
}

TEST_F(AppTest, ReadStartsTheDownloadOnTheWindowTimer) {
  StartWithMeter(vm::GeneratedRecords(2));
  app_->Command(cmd::kRead);
  EXPECT_TRUE(State().Link.Download.DownloadRunning);
  EXPECT_TRUE(Window().IsTimerRunning(cmd::kDownloadTimerId));
  const std::vector<std::string> wire = bus_->WireLog();
  ASSERT_FALSE(wire.empty());
  EXPECT_EQ(wire.front(), "-> 02 03 4C 4F 47 1A");
  EXPECT_NE(std::find(wire.begin(), wire.end(), "-> 02 03 47 45 54 1C"), wire.end());
}

// The report's header learns where the log came from: a loaded file and its modification time, a
// Read of the meter; a failed load leaves what was known.
TEST_F(AppTest, LoadAndReadNoteWhereTheLogCameFrom) {
  StartWithMeter(vm::GeneratedRecords(2));
  EXPECT_FALSE(State().ImageOrigin.readFromMeter);
  EXPECT_FALSE(State().ImageOrigin.fileTime.has_value());
  std::ofstream(folder_.Path("short.tlg")) << "not a log";
  const std::string copy = folder_.Path("survey.tlg");
  std::filesystem::copy_file(std::string(KLXR_SOURCE_DIR) + "/samples/mixed.tlg", copy);
  const QDateTime modified(QDate(2026, 11, 30), QTime(9, 5));
  std::filesystem::last_write_time(
      copy, std::filesystem::file_time_type::clock::now() -
                std::chrono::seconds(modified.secsTo(QDateTime::currentDateTime())));
  struct Step {
    int command;
    std::string path;
    bool readFromMeter;
    bool fileTimeKnown;
  };
  const Step steps[] = {
      {cmd::kLoad, copy, false, true},
      {cmd::kLoad, folder_.Path("short.tlg"), false, true},  // not a log: still the file's
      {cmd::kRead, "", true, false},
      {cmd::kLoad, copy, false, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.command);
    if (step.command == cmd::kRead) {
      app_->Command(cmd::kRead);
    } else {
      ChooseIn(*app_, step.command, step.path);
    }
    EXPECT_EQ(State().ImageOrigin.readFromMeter, step.readFromMeter);
    EXPECT_EQ(State().ImageOrigin.fileTime.has_value(), step.fileTimeKnown);
    if (step.fileTimeKnown) {
      EXPECT_LE(std::abs(ToQDateTime(State().ImageOrigin.fileTime).secsTo(modified)), 2);
    }
  }
}

TEST_F(AppTest, AboutAndVersionAreRowsOfTheTable) {
  StartWithMeter();
  ModalWatcher closer([](QWidget* modal) { QTimer::singleShot(0, modal, &QWidget::close); });
  EXPECT_TRUE(DispatchCommand(*app_, cmd::kAbout));
  EXPECT_TRUE(DispatchCommand(*app_, cmd::kVersion));
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(AppTest, IdsThatAreNotInTheTableDoNothing) {
  StartWithMeter(vm::GeneratedRecords(2));
  for (const int id : {0, 1, 2, 103, 105, 214, 12345, 32770, 32772, 32781, 32808, 65535, -1}) {
    EXPECT_FALSE(DispatchCommand(*app_, id)) << id;
  }
  EXPECT_TRUE(boxes_.boxes.empty());
  EXPECT_TRUE(bus_->CallLog().empty());
  EXPECT_FALSE(app_->Closed());
  EXPECT_FALSE(State().Link.Download.DownloadRunning);
}

TEST_F(AppTest, PlusPOnTheCommandLineAsksForPacedTransfer) {
  const struct {
    const char* commandLine;
    TransferMode transfer;
    bool quiet;
  } cases[] = {{"", TransferMode::kFast, false},
               {"+P", TransferMode::kPaced, false},
               {"+Q +P", TransferMode::kPaced, true},
               {"+Q", TransferMode::kFast, true}};
  for (const auto& c : cases) {
    app_.reset();
    bus_ = std::make_unique<vm::VirtualBus>(vm::OneMeter({}));
    app_ = std::make_unique<Application>(shell_, boxes_, testing::BusServices(*bus_));
    ASSERT_TRUE(app_->Start(c.commandLine));
    EXPECT_EQ(State().Link.Transfer, c.transfer) << c.commandLine;
    EXPECT_EQ(State().QuietMode, c.quiet) << c.commandLine;
    app_.reset();
    bus_.reset();
  }
}

TEST_F(AppTest, OnlyTheDownloadTimerStepsAndOnlyWhileADownloadRuns) {
  StartWithMeter(vm::GeneratedRecords(2));
  app_->TimerTick(cmd::kDownloadTimerId);  // idle
  EXPECT_TRUE(bus_->CallLog().empty());

  app_->Command(cmd::kRead);
  bus_->ClearLogs();
  app_->TimerTick(cmd::kDownloadTimerId + 1);
  app_->TimerTick(0);
  EXPECT_TRUE(bus_->CallLog().empty());
  EXPECT_EQ(State().Link.Download.IdleTicks, 0);

  app_->TimerTick(cmd::kDownloadTimerId);
  EXPECT_EQ(bus_->CallLog().front().rfind("FT_Read(100)", 0), 0u);
  EXPECT_EQ(State().Link.Download.IdleTicks, 0);  // the first record arrived and was stored
  EXPECT_EQ(State().Link.Download.RecordsReceived, 1);
}

}  // namespace
}  // namespace klxr
