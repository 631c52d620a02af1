// The command-line tool's standard streams on Windows are binary: what it prints has LF line ends
// and raw bytes, exactly as on other platforms, and a console answer ended by CR LF still counts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "log/log_files.h"
#include "log/log_image.h"
#include "log/record_format.h"
#include "run_tool.h"
#include "scratch_folder.h"
#include "support/recording_message_boxes.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::RunTool;
using testing::ToolRun;

const fs::path kSamples = KLXR_SAMPLES_DIR;
const fs::path kExpected = KLXR_EXPECTED_DIR;

TEST(WindowsStandardStreamsTest, ShowPrintsLfLineEndsAndRawBytes) {
  testing::ScratchFolder folder;
  LogImage image;
  testing::RecordingMessageBoxes boxes;
  ASSERT_EQ(LoadLogFile(image, (kSamples / "mixed.tlg").string(), nullptr, boxes, false), 0);
  std::string expected;
  DecodedEntry entry;
  for (int index = 0; index < CountRecords(image, nullptr); ++index) {
    FormatRecord(image, index, entry, kUnitsDbm);
    expected += entry.DisplayLine + "\n";
  }
  const ToolRun run = RunTool({"show", (kSamples / "mixed.tlg").string()}, folder.Path());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find('\r'), std::string::npos);
  EXPECT_EQ(run.out, expected);
}

TEST(WindowsStandardStreamsTest, ExportToDashWritesTheCsvCrLfUnchanged) {
  testing::ScratchFolder folder;
  const ToolRun run = RunTool({"export", (kSamples / "mixed.tlg").string(), "-"}, folder.Path());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.find("\r\r\n"), std::string::npos);
  EXPECT_EQ(run.out, testing::ReadWholeFile(kExpected / "mixed.csv"));
}

// A log with 0x1A bytes early in its records is read whole from standard input: a text-mode
// stream would take the first one for the end of the file.
TEST(WindowsStandardStreamsTest, ALogWithCtrlZBytesIsReadWholeFromStandardInput) {
  testing::ScratchFolder folder;
  const std::string log = testing::ReadWholeFile(kSamples / "mixed.tlg");
  ASSERT_LT(log.find('\x1A'), std::size_t{2048});

  const ToolRun fromFile = RunTool({"show", (kSamples / "mixed.tlg").string()}, folder.Path());
  ASSERT_EQ(fromFile.status, 0) << fromFile.err;
  const ToolRun show = RunTool({"show", "-"}, folder.Path(), log);
  EXPECT_EQ(show.status, 0) << show.err;
  EXPECT_EQ(show.out, fromFile.out);

  const fs::path csv = folder.Path() / "out.csv";
  const ToolRun exported = RunTool({"export", "-", csv.string()}, folder.Path(), log);
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(testing::ReadWholeFile(csv), testing::ReadWholeFile(kExpected / "mixed.csv"));
  fs::remove(csv);
}

TEST(WindowsStandardStreamsTest, AnAnswerEndedByCrLfIsUnderstood) {
  testing::ScratchFolder folder;
  _putenv_s("KLXR_D2XX_LIBRARY", KLXR_VM_LIBRARY_PATH);
  _putenv_s("KLXR_VM_CLOCK", "virtual");
  struct Case {
    std::string input;
    int status;
  };
  const Case cases[] = {{"y\r\n", 0}, {"yes\r\n", 0}, {"n\r\n", 1}, {"\r\n", 1}};
  for (const Case& c : cases) {
    const ToolRun run = RunTool({"erase"}, folder.Path(), c.input);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.err.find("Meter log data erased") != std::string::npos, c.status == 0) << run.err;
  }
  _putenv_s("KLXR_D2XX_LIBRARY", "");
  _putenv_s("KLXR_VM_CLOCK", "");
}

}  // namespace
}  // namespace klxr
