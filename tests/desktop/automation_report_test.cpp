// Where an automated run's report lines go: the file KLXR_AUTOMATION_REPORT names, each line there
// as soon as it is written, or standard output.
#include "desktop/automation_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>

#include "desktop/automation_message_boxes.h"
#include "support/recording_message_boxes.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void SetVariable(const char* value) {
#ifdef _WIN32
  _putenv_s(kAutomationReportVariable, value);
#else
  setenv(kAutomationReportVariable, value, 1);
#endif
}

TEST(AutomationReport, TheVariableSendsEachLineToTheFileAsItIsWritten) {
  const fs::path folder =
      fs::temp_directory_path() / ("klxr-report-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  const fs::path file = folder / "report.txt";
  std::ofstream(file) << "an earlier run\n";
  SetVariable(file.string().c_str());
  {
    AutomationReport report(ReportFileFromEnvironment());
    ASSERT_EQ(report.Problem(), "");
    testing::RecordingMessageBoxes shown;
    AutomationMessageBoxes boxes(shown, report.Stream());
    boxes.QueueAnswer(ScriptedAnswer::Ok);
    ShowMessage(boxes, msg::kNoLoggingData, BoxKind::Error);
    // Read while the report is still open: the line is already in the file.
    EXPECT_EQ(ReadFile(file), "box error 26 \"No logging data present\" -> ok\n");
    report.Stream() << "done" << std::endl;
    EXPECT_EQ(ReadFile(file), "box error 26 \"No logging data present\" -> ok\ndone\n");
    EXPECT_NE(&report.Stream(), &std::cout);
  }

  // A file that cannot be created is named with the system's reason.
  SetVariable((folder / "missing" / "report.txt").string().c_str());
  const AutomationReport missing(ReportFileFromEnvironment());
  EXPECT_NE(missing.Problem().find("missing"), std::string::npos) << missing.Problem();
  EXPECT_NE(missing.Problem().find(": "), std::string::npos) << missing.Problem();

  // Unset or empty: standard output.
  SetVariable("");
  EXPECT_FALSE(ReportFileFromEnvironment().has_value());
  AutomationReport standard(std::nullopt);
  EXPECT_EQ(&standard.Stream(), &std::cout);
  EXPECT_EQ(standard.Problem(), "");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace klxr
