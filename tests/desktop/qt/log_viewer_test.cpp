#include "desktop/qt/log_viewer.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <vector>

#include "desktop/qt/file_chooser.h"
#include "desktop/qt/log_viewer_list.h"
#include "desktop/qt/remembered_folders.h"
#include "desktop/qt/run_file_chooser.h"
#include "log/log_files.h"
#include "log/record_format.h"
#include "samples/record_builder.h"
#include "samples/sample_logs.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"

namespace klxr {
namespace {

using samples::LevelRange;
using samples::MakeLevelWord;
using testing::RecordingMessageBoxes;
using testing::WhenModalShown;

// Every test keeps its remembered folders in a settings file of its own temporary folder.
class LogViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv(kSettingsFileVariable, QFile::encodeName(Q(folder_.Path("KLXRPlusData.ini"))));
    folder_.MakeFolder("exports");
    folder_.MakeFolder("other");
  }
  void TearDown() override { qunsetenv(kSettingsFileVariable); }

  LogViewerContext Context() { return {image_, request_, boxes_, false}; }

  static QString Q(const std::string& text) { return QString::fromStdString(text); }

  // The display lines of the first count records in the given units.
  QStringList ExpectedLines(int count, std::uint8_t units) const {
    QStringList lines;
    DecodedEntry entry;
    for (int index = 0; index < count; ++index) {
      FormatRecord(image_, index, entry, units);
      lines << QString::fromLatin1(entry.DisplayLine.c_str());
    }
    return lines;
  }

  static QStringList Lines(const LogViewer& viewer) {
    QStringList lines;
    for (int row = 0; row < viewer.List().count(); ++row) {
      lines << viewer.List().item(row)->text();
    }
    return lines;
  }

  static QStringList UnitLabels(const LogViewer& viewer) {
    QStringList texts;
    for (int id : {ctl::kViewerVideoUnit, ctl::kViewerAudioUnit, ctl::kViewerDigitalUnit}) {
      texts << FindControl<QLabel>(viewer, id)->text();
    }
    return texts;
  }

  // One analogue and one digital record with range marks and a multiplex name in Latin-1.
  void WriteAnalogueAndDigital() {
    samples::WriteAnalogueRecord(
        image_.Slot(0), {'A', 20, 1, 511250, "CH26", "PAL-I", "TEST CARD", 0},
        {MakeLevelWord(523, LevelRange::Over), MakeLevelWord(-514), MakeLevelWord(458), 0});
    samples::WriteDigitalRecord(image_.Slot(1),
                                {'D', 20, 6, 802000, "CH62", "DVB-T", "R\xE9gion Est", 1},
                                {.mode = 64,
                                 .digitalPower = MakeLevelWord(-800, LevelRange::Under),
                                 .mer = MakeLevelWord(50, LevelRange::Under),
                                 .errorCount = 2870000,
                                 .plpMode = 64});
  }

  testing::TemporaryFolder folder_;
  LogImage image_;
  ChooserRequest request_;
  RecordingMessageBoxes boxes_;
};

TEST_F(LogViewerTest, OneLinePerCountedRecordInRecordOrder) {
  struct Case {
    int records;
    int expectedLines;
  };
  const Case kCases[] = {{1, 1}, {40, 40}, {kSlotCount, kSlotCount}};
  for (const Case& c : kCases) {
    image_ = samples::MakeRealisticLog(c.records, 7);
    if (c.records < kSlotCount) {
      // A names-only record after the log ends it; the viewer shows nothing of it.
      samples::WriteNamesOnlyRecord(image_.Slot(c.records), {'E', 1, 1, 1, "CH21", "X", "Y", 0});
    }
    LogViewer viewer(Context(), nullptr);
    EXPECT_EQ(viewer.windowTitle(), "Log Entries");
    ASSERT_EQ(viewer.List().count(), c.expectedLines);
    EXPECT_EQ(Lines(viewer), ExpectedLines(c.expectedLines, kUnitsDbm));
  }
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(LogViewerTest, EightBitTextsAreShownAsLatin1) {
  WriteAnalogueAndDigital();
  LogViewer viewer(Context(), nullptr);
  EXPECT_EQ(viewer.List().item(1)->text().split('\t')[4], QString::fromUtf8("Région Est"));
}

TEST_F(LogViewerTest, ShowDbuvSwitchesLabelsAndLevelsAndBackToExactlyTheFirstState) {
  image_ = samples::MakeRealisticLog(300, 11);
  LogViewer viewer(Context(), nullptr);
  const QStringList dbmLines = Lines(viewer);
  ASSERT_EQ(dbmLines, ExpectedLines(300, kUnitsDbm));
  EXPECT_EQ(UnitLabels(viewer), (QStringList{"dBm", "dBm", "dBm"}));
  EXPECT_FALSE(viewer.ShowDbuv().isChecked());

  viewer.List().scrollToBottom();
  ASSERT_GT(viewer.List().verticalScrollBar()->value(), 0);
  viewer.ShowDbuv().click();
  EXPECT_EQ(UnitLabels(viewer), (QStringList{"dBuV", "dBuV", "dBuV"}));
  EXPECT_EQ(Lines(viewer), ExpectedLines(300, kUnitsDbuv));
  EXPECT_NE(Lines(viewer), dbmLines);
  EXPECT_EQ(viewer.List().verticalScrollBar()->value(), 0);

  viewer.List().scrollToBottom();
  viewer.ShowDbuv().click();
  EXPECT_FALSE(viewer.ShowDbuv().isChecked());
  EXPECT_EQ(UnitLabels(viewer), (QStringList{"dBm", "dBm", "dBm"}));
  EXPECT_EQ(Lines(viewer), dbmLines);
  EXPECT_EQ(viewer.List().verticalScrollBar()->value(), 0);
  EXPECT_EQ(viewer.result(), 0);  // the box does not end the dialog
}

TEST_F(LogViewerTest, EveryOpeningStartsInDbmUnticked) {
  image_ = samples::MakeRealisticLog(20, 3);
  for (int opening = 0; opening < 2; ++opening) {
    WhenModalShown([&](QWidget* modal) {
      auto* viewer = qobject_cast<LogViewer*>(modal);
      ASSERT_NE(viewer, nullptr);
      EXPECT_FALSE(viewer->ShowDbuv().isChecked());
      EXPECT_EQ(UnitLabels(*viewer), (QStringList{"dBm", "dBm", "dBm"}));
      EXPECT_EQ(Lines(*viewer), ExpectedLines(20, kUnitsDbm));
      viewer->ShowDbuv().click();
      viewer->reject();  // Escape and the close box
    });
    EXPECT_EQ(RunLogViewer(Context(), nullptr), 2);
  }
  WhenModalShown([](QWidget* modal) { FindControl<QPushButton>(*modal, ctl::kOk)->click(); });
  EXPECT_EQ(RunLogViewer(Context(), nullptr), 1);
}

// The heading each field of a display line stands under.
const char* const kHeadingOfField[] = {"Seq Num",  "Frequency", "Channel",  "Spec",     "Mux",
                                       "Status",   "Quality",   "Vid. Pwr", "Vid. Pwr", "Aud. Pwr",
                                       "Aud. Pwr", "Mode",      "PLP Mode", "Dig. Pwr", "Dig. Pwr",
                                       "MER/CN",   "MER/CN",    "BER"};

QRect HeadingGeometry(const LogViewer& viewer, const QString& text) {
  for (QWidget* control : viewer.Controls()) {
    auto* label = qobject_cast<QLabel*>(control);
    if (label != nullptr && label->text() == text) {
      return label->geometry();
    }
  }
  ADD_FAILURE() << "no heading " << text.toStdString();
  return {};
}

TEST_F(LogViewerTest, AnalogueAndDigitalFieldsStandUnderTheirHeadings) {
  WriteAnalogueAndDigital();
  LogViewer viewer(Context(), nullptr);
  const QListWidget& list = viewer.List();
  const auto* delegate = qobject_cast<TabbedLineDelegate*>(list.itemDelegate());
  ASSERT_NE(delegate, nullptr);
  const int origin = list.x() + list.viewport()->x() + kListTextMargin;
  const int right = list.viewport()->width() - kListTextMargin;
  const int slack = 2 * viewer.BaseUnits().cx / 4;  // the list's frame and margin
  for (int row = 0; row < 2; ++row) {
    SCOPED_TRACE(row);
    const QString line = list.item(row)->text();
    const QStringList fields = line.split('\t');
    const std::vector<FieldPlacement> placed =
        PlaceLine(line, QFontMetrics(list.font()), delegate->Columns(), right);
    for (int k = 0; k < 18; ++k) {
      if (fields[k].isEmpty()) {
        continue;
      }
      const QRect heading = HeadingGeometry(viewer, kHeadingOfField[k]);
      const int left = origin + placed[static_cast<std::size_t>(k)].left;
      EXPECT_GE(left, heading.left() - slack) << fields[k].toStdString();
      EXPECT_LT(left, heading.right()) << fields[k].toStdString();
    }
    // Each range mark stands just before its value.
    for (int mark : {7, 9, 13, 15}) {
      if (fields[mark].isEmpty()) {
        continue;
      }
      const FieldPlacement& markPlace = placed[static_cast<std::size_t>(mark)];
      const FieldPlacement& value = placed[static_cast<std::size_t>(mark) + 1];
      const int cx = viewer.BaseUnits().cx;
      EXPECT_EQ(value.left - markPlace.left,
                LogTabStops[mark] * cx / 4 - LogTabStops[mark - 1] * cx / 4);
      EXPECT_LE(markPlace.left + markPlace.width, value.left);
      EXPECT_EQ(markPlace.squeeze, 1.0);
    }
  }
  EXPECT_EQ(list.item(0)->text().split('\t')[7], ">");
  EXPECT_EQ(list.item(1)->text().split('\t')[13], "<");
}

// The pixel columns of a list row that hold text, in list viewport coordinates.
std::vector<bool> InkColumns(const QListWidget& list, int row) {
  const QImage image = list.viewport()->grab().toImage();
  const QRect rect = list.visualItemRect(list.item(row));
  std::vector<bool> ink(static_cast<std::size_t>(image.width()), false);
  for (int x = 0; x < image.width(); ++x) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      if (qGray(image.pixel(x, y)) < 160) {
        ink[static_cast<std::size_t>(x)] = true;
      }
    }
  }
  return ink;
}

TEST_F(LogViewerTest, EachFieldIsDrawnWhereItIsPlacedAndNothingElseIs) {
  WriteAnalogueAndDigital();
  // A multiplex name of full width in capitals, followed by a status text.
  samples::WriteDigitalRecord(image_.Slot(2),
                              {'V', 22, 3, 610000, "CH30 RELAY", "DVB-T2", "HD MULTIPLEX", 3},
                              {.mode = 0x80 | 0x40,
                               .digitalPower = MakeLevelWord(-687),
                               .mer = MakeLevelWord(217),
                               .errorCount = 15700,
                               .plpMode = 64});
  LogViewer viewer(Context(), nullptr);
  viewer.show();
  QCoreApplication::processEvents();  // the list lays its rows out
  const QListWidget& list = viewer.List();
  const auto* delegate = qobject_cast<TabbedLineDelegate*>(list.itemDelegate());
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    const QString line = list.item(row)->text();
    const QStringList fields = line.split('\t');
    const int right = list.viewport()->width() - kListTextMargin;
    const std::vector<FieldPlacement> placed =
        PlaceLine(line, QFontMetrics(list.font()), delegate->Columns(), right);
    const std::vector<bool> ink = InkColumns(list, row);
    std::vector<bool> covered(ink.size(), false);
    for (std::size_t k = 0; k < placed.size(); ++k) {
      if (placed[k].width == 0) {
        continue;
      }
      const int from = kListTextMargin + placed[k].left;
      bool inked = false;
      for (int x = from; x <= from + placed[k].width && x < static_cast<int>(ink.size()); ++x) {
        covered[static_cast<std::size_t>(x)] = true;
        inked = inked || ink[static_cast<std::size_t>(x)];
      }
      EXPECT_TRUE(inked || fields[static_cast<qsizetype>(k)].trimmed().isEmpty()) << k;
    }
    for (std::size_t x = 0; x < ink.size(); ++x) {
      EXPECT_TRUE(!ink[x] || covered[x]) << "stray text at x " << x;
    }
  }
  const std::vector<FieldPlacement> squeezed =
      PlaceLine(list.item(2)->text(), QFontMetrics(list.font()), delegate->Columns(), list.width());
  const int clearance = delegate->Columns()[5].clearance;
  EXPECT_LE(squeezed[4].left + squeezed[4].width, squeezed[5].left - clearance);
}

TEST_F(LogViewerTest, ExportWritesTheMenusCsvFromTheChooserOverTheViewer) {
  image_ = samples::MakeRealisticLog(40, 5);
  WriteRememberedFolder(folder_.Path("exports"), kExportDir, boxes_);
  LogViewer viewer(Context(), nullptr);
  viewer.ShowDbuv().click();  // the CSV file does not depend on the units shown
  WhenModalShown([&](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->parentWidget(), &viewer);
    EXPECT_EQ(chooser->FolderLabel().text(), Q(folder_.Path("exports")));
    EXPECT_TRUE(request_.SaveMode);
    EXPECT_EQ(request_.ExtensionFilter, ".csv;");
    EXPECT_EQ(request_.DefaultExtension, ".csv");
    chooser->NameField().setText("survey");
    chooser->OnOk();
  });
  FindControl<QPushButton>(viewer, ctl::kViewerExport)->click();
  EXPECT_EQ(viewer.result(), 0);
  QFile written(Q(folder_.Path("exports/survey.csv")));
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll().toStdString(), MakeCsvText(image_, 40));
  EXPECT_TRUE(boxes_.boxes.empty());

  // The menu's export starts where the viewer's ended, and the other way round.
  QString menuStart;
  WhenModalShown([&](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    menuStart = chooser->FolderLabel().text();
    chooser->OnDoubleClick(chooser->List().row(chooser->List().findItems("[..]", {}).front()));
    chooser->OnDoubleClick(chooser->List().row(chooser->List().findItems("[other]", {}).front()));
    chooser->OnCancel();
  });
  ChooserRequest menuRequest;
  EXPECT_FALSE(RunFileChooser(menuRequest, kExportCsvChooser, nullptr, boxes_));
  EXPECT_EQ(menuStart, Q(folder_.Path("exports")));
  QString viewerStart;
  WhenModalShown([&](QWidget* modal) {
    viewerStart = qobject_cast<FileChooser*>(modal)->FolderLabel().text();
    qobject_cast<FileChooser*>(modal)->OnCancel();
  });
  viewer.OnCommand(ctl::kViewerExport);
  EXPECT_EQ(viewerStart, Q(folder_.Path("other")));
}

TEST_F(LogViewerTest, ACancelledExportWritesNothingButRemembersTheFolder) {
  image_ = samples::MakeRealisticLog(5, 2);
  WriteRememberedFolder(folder_.Path(), kExportDir, boxes_);
  LogViewer viewer(Context(), nullptr);
  WhenModalShown([&](QWidget* modal) {
    auto* chooser = qobject_cast<FileChooser*>(modal);
    chooser->NameField().setText("not-written");
    chooser->OnDoubleClick(chooser->List().row(chooser->List().findItems("[exports]", {}).front()));
    chooser->reject();
  });
  viewer.OnCommand(ctl::kViewerExport);
  EXPECT_EQ(request_.ChosenPath, "");
  EXPECT_EQ(ReadRememberedFolder(kExportDir), folder_.Path("exports"));
  EXPECT_TRUE(QDir(Q(folder_.Path("exports"))).isEmpty());
  EXPECT_FALSE(QFile::exists(Q(folder_.Path("not-written.csv"))));
  EXPECT_EQ(viewer.result(), 0);
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(LogViewerTest, GrowsFromItsTemplateSizeAndCtrlCCopiesTheSelectedLinesInListOrder) {
  image_ = samples::MakeRealisticLog(6, 9);
  LogViewer viewer(Context(), nullptr);
  const QSize opened = viewer.size();
  const QRect list = viewer.List().geometry();
  const QRect box = viewer.ShowDbuv().geometry();
  EXPECT_EQ(viewer.minimumSize(), opened);
  viewer.show();
  viewer.resize(opened + QSize(300, 200));
  EXPECT_EQ(viewer.List().geometry(), list.adjusted(0, 0, 300, 200));
  EXPECT_EQ(viewer.ShowDbuv().geometry(), box.translated(300, 200));

  const QStringList lines = ExpectedLines(6, kUnitsDbm);
  viewer.List().item(4)->setSelected(true);
  viewer.List().item(1)->setSelected(true);
  QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
  QApplication::sendEvent(&viewer.List(), &copy);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), lines[1] + "\n" + lines[4] + "\n");
}

void PressKey(QWidget& widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

TEST_F(LogViewerTest, EnterClosesItAndTabGoesFromTheListToExportWhichSpaceOpens) {
  image_ = samples::MakeRealisticLog(30, 5);
  bool chooserOpened = false;
  WhenModalShown([&](QWidget* modal) {
    auto* list = FindControl<QListWidget>(*modal, ctl::kViewerList);
    PressKey(*list, Qt::Key_Return);  // Close, the default button
  });
  EXPECT_EQ(RunLogViewer(Context(), nullptr), 1);
  WhenModalShown([&](QWidget* modal) {
    QWidget* next = FindControl<QListWidget>(*modal, ctl::kViewerList)->nextInFocusChain();
    while ((next->focusPolicy() & Qt::TabFocus) == 0) {
      next = next->nextInFocusChain();
    }
    ASSERT_EQ(next, FindControl<QPushButton>(*modal, ctl::kViewerExport));
    WhenModalShown([&](QWidget* chooser) {
      chooserOpened = qobject_cast<FileChooser*>(chooser) != nullptr;
      PressKey(*chooser, Qt::Key_Escape);
    });
    PressKey(*next, Qt::Key_Space);  // opens the chooser for the CSV file
    PressKey(*next, Qt::Key_Escape);
  });
  EXPECT_EQ(RunLogViewer(Context(), nullptr), 2);
  EXPECT_TRUE(chooserOpened);
}

}  // namespace
}  // namespace klxr
