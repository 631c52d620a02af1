// The built klxr-log program on the loadable virtual meter (its virtual clock, so nothing waits),
// driven through its menu by an automation script on the offscreen platform.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QString>
#include <QStringList>

#include "desktop/automation_script.h"
#include "ui_test_support.h"

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace klxr {
namespace {

struct ProgramRun {
  int exitCode = -1;
  QStringList out;  // the lines of standard output
  QString err;
};

class KlxrLogProgramTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return QString::fromStdString(folder_.Path(name)); }

  static QString Sample(const QString& name) {
    return QStringLiteral(KLXR_SOURCE_DIR "/samples/") + name;
  }

  // Runs the program with the script, on the virtual meter serving the log file (if any).
  ProgramRun Run(const QString& script, const QString& driverLibrary, const QString& meterLog = {},
                 const QStringList& arguments = {}) const {
    QFile file(Path("script.txt"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(script.toUtf8());
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert(kAutomationVariable, Path("script.txt"));
    environment.insert("KLXR_SETTINGS_FILE", Path("settings.ini"));
    environment.insert("KLXR_D2XX_LIBRARY", driverLibrary);
    environment.insert("KLXR_VM_CLOCK", "virtual");
    environment.remove("KLXR_VM_SCENARIO");
    if (!meterLog.isEmpty()) {
      environment.insert("KLXR_VM_LOG", meterLog);
    }
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(Path(""));
    program.start(KLXR_LOG_PROGRAM, arguments);
    EXPECT_TRUE(program.waitForFinished(60000)) << "the program did not end";
    ProgramRun run;
    run.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.out = QString::fromLatin1(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.err = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
  }

  static QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  testing::TemporaryFolder folder_;
};

TEST_F(KlxrLogProgramTest, ReadsTheMetersLogAndSavesItThroughTheMenu) {
  const ProgramRun run =
      Run("# Read, then Save to a new file.\n"
          "answer ok\n"
          "command 32779\n"
          "wait-idle\n"
          "command 32784\n"
          "choose " +
              Path("read") +
              "\n"
              "wait-idle\n"
              "print saved\n"
              "quit\n",
          KLXR_VIRTUAL_METER_LIBRARY, Sample("mixed.tlg"));
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, (QStringList{"box information 3 \"Transfer Complete!\" -> ok", "saved"}))
      << run.err.toStdString();
  const QByteArray saved = Contents(Path("read.tlg"));
  EXPECT_EQ(saved.size(), 100352);
  EXPECT_TRUE(saved == Contents(Sample("mixed.tlg")));
}

TEST_F(KlxrLogProgramTest, ViewsTheReadLogAndExportsFromTheViewerWhatTheToolExports) {
  const ProgramRun run =
      Run("# Read, View, tick Show dBuV, Export (.csv) from the viewer, close the viewer.\n"
          "answer ok\n"
          "command 32779\n"
          "wait-idle\n"
          "command 32807\n"
          "wait-modal\n"
          "click 1106\n"
          "click 1100\n"
          "choose " +
              Path("viewer") +
              "\n"
              "wait-file " +
              Path("viewer.csv") +
              "\n"
              "print exported\n"
              "cancel\n"
              "wait-idle\n"
              "quit\n",
          KLXR_VIRTUAL_METER_LIBRARY, Sample("mixed.tlg"));
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, (QStringList{"box information 3 \"Transfer Complete!\" -> ok", "exported"}));

  QProcess tool;
  tool.start(KLXR_LOG_CLI_PROGRAM, {"export", Sample("mixed.tlg"), Path("tool.csv")});
  ASSERT_TRUE(tool.waitForFinished(60000));
  ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
  const QByteArray exported = Contents(Path("viewer.csv"));
  EXPECT_FALSE(exported.isEmpty());
  EXPECT_TRUE(exported == Contents(Path("tool.csv")));
  EXPECT_EQ(QSettings(Path("settings.ini"), QSettings::IniFormat).value("KLXRPlusExportDir"),
            QString::fromStdString(folder_.Path()));
}

TEST_F(KlxrLogProgramTest, EndsAfterTellingTheUserWhenThereIsNoDriverLibrary) {
  const ProgramRun run = Run("answer ok\n", Path("no-such-driver.so"));
  EXPECT_EQ(run.exitCode, 0);
  // The catalogue's text as it stands; the files tried and why are the box's detail.
  ASSERT_EQ(run.out.size(), 1);
  EXPECT_TRUE(
      run.out[0].startsWith("box information 8 \"Warning, can't load USB driver "
                            "(ftd2xx.dll)\" detail \"No USB driver library could be "
                            "loaded. Tried: " +
                            Path("no-such-driver.so") + " ("))
      << run.out[0].toStdString();
  EXPECT_TRUE(run.out[0].endsWith("\" -> ok"));
}

TEST_F(KlxrLogProgramTest, AScriptWithErrorsStartsNothing) {
  const ProgramRun run = Run("command 32779\nfly away\n", KLXR_VIRTUAL_METER_LIBRARY);
  EXPECT_EQ(run.exitCode, kAutomationScriptErrorExitCode);
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_TRUE(run.err.contains("line 2: unknown step 'fly'")) << run.err.toStdString();
}

TEST_F(KlxrLogProgramTest, AWaitThatLastsTooLongFailsTheScript) {
  const ProgramRun run =
      Run("timeout 0\nwait-file " + Path("never") + "\n", KLXR_VIRTUAL_METER_LIBRARY);
  EXPECT_EQ(run.exitCode, kAutomationFailedExitCode);
  EXPECT_TRUE(run.err.contains("line 2: still waiting")) << run.err.toStdString();
}

}  // namespace
}  // namespace klxr

namespace klxr {
namespace {

TEST_F(KlxrLogProgramTest, HelpAndVersionPrintAndEndBeforeAnyWindowOrScript) {
  const struct {
    QStringList arguments;
    QString firstLine;
  } kCases[] = {
      {{"--version"}, "klxr-log " KLXR_PROJECT_VERSION},
      {{"--help"}, "Usage: klxr-log [+Q] [+P] [--demo]"},
      {{"+Q", "--help"}, "Usage: klxr-log [+Q] [+P] [--demo]"},
      {{"--demo", "--version"}, "klxr-log " KLXR_PROJECT_VERSION},
  };
  for (const auto& testCase : kCases) {
    // The script would fail at once (exit 2) if the program went as far as running it.
    const ProgramRun run = Run("no-such-step\n", "", {}, testCase.arguments);
    EXPECT_EQ(run.exitCode, 0) << testCase.arguments.join(' ').toStdString();
    ASSERT_FALSE(run.out.isEmpty());
    EXPECT_EQ(run.out.first(), testCase.firstLine);
  }
}

TEST_F(KlxrLogProgramTest, DemoReadsTheBundledSampleWhateverDriverTheEnvironmentNames) {
  const ProgramRun run =
      Run("answer ok\n"
          "command 32779\n"
          "wait-idle\n"
          "command 32784\n"
          "choose " +
              Path("demo") +
              "\n"
              "wait-idle\n"
              "quit\n",
          Path("no-such-driver.so"), {}, {"--demo", "+Q"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, (QStringList{"box information 3 \"Transfer Complete!\" -> ok"}));
  EXPECT_TRUE(Contents(Path("demo.tlg")) == Contents(Sample("mixed.tlg")));
}

}  // namespace
}  // namespace klxr
