// The built klxr-log-cli's report command on the bundled sample logs.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <random>

#include "report/pdf_tools.h"
#include "run_tool.h"

namespace klxr {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::RunTool;
using testing::ToolRun;

std::string Sample(const std::string& name) {
  return (fs::path(KLXR_SAMPLES_DIR) / name).string();
}

class ReportToolTest : public testing::ToolFolderTest {};

TEST_F(ReportToolTest, WritesTheReportWithTheUsersTextsUnitsAndPaper) {
  const ToolRun run = Run({"report", Sample("mixed.tlg"), PathOf("survey.pdf"), "--dbuv", "--title",
                           "Block B", "--site=Hill Road 4", "--installer", "Sam", "--letter"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  const std::string bytes = ReadWholeFile(folder_ / "survey.pdf");
  ASSERT_EQ(bytes.substr(0, 5), "%PDF-");
  if (!testing::HavePdfTools()) {
    GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
  }
  const testing::PdfFile pdf(bytes);
  EXPECT_NE(pdf.Info().find("(letter)"), std::string::npos);
  const std::string text = pdf.Text();
  for (const char* expected :
       {"Block B", "Site: Hill Road 4", "Installer: Sam", "Units: dBuV", "Records: 40"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
}

TEST_F(ReportToolTest, TheHeaderGivesTheLogFilesModificationTime) {
  if (!testing::HavePdfTools()) {
    GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
  }
  fs::copy_file(Sample("mixed.tlg"), folder_ / "survey.tlg");
  const std::chrono::system_clock::time_point modified =
      std::chrono::floor<std::chrono::minutes>(std::chrono::system_clock::now()) -
      std::chrono::hours(24 * 40);
  fs::last_write_time(folder_ / "survey.tlg", std::chrono::file_clock::from_sys(modified));
  const std::time_t seconds = std::chrono::system_clock::to_time_t(modified);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  char expected[64];
  std::strftime(expected, sizeof expected, "Log file: %Y-%m-%d %H:%M", &local);

  const ToolRun fromFile = Run({"report", PathOf("survey.tlg"), PathOf("a.pdf")});
  EXPECT_EQ(fromFile.status, 0) << fromFile.err;
  EXPECT_NE(testing::PdfFile(ReadWholeFile(folder_ / "a.pdf")).Text().find(expected),
            std::string::npos)
      << expected;
}

TEST_F(ReportToolTest, CompareAddsThePagesOfChangesSinceTheEarlierSurvey) {
  const ToolRun plain = Run({"report", Sample("mixed.tlg"), PathOf("plain.pdf")});
  const ToolRun run =
      Run({"report", Sample("mixed.tlg"), PathOf("changes.pdf"), "--compare", Sample("full.tlg")});
  ASSERT_EQ(run.status, 0) << run.err;
  const ToolRun table = Run({"compare", Sample("full.tlg"), Sample("mixed.tlg")});
  const ToolRun missing = Run({"report", Sample("mixed.tlg"), PathOf("x.pdf"), "--compare", "x"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("no such file"), std::string::npos) << missing.err;
  EXPECT_FALSE(fs::exists(folder_ / "x.pdf"));
  if (!testing::HavePdfTools()) {
    GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
  }
  const std::string text = testing::PdfFile(ReadWholeFile(folder_ / "changes.pdf")).Text();
  const std::string plainText = testing::PdfFile(ReadWholeFile(folder_ / "plain.pdf")).Text();
  // The summary line of "compare", under the section's title, and every page counted.
  const std::string summary = table.out.substr(table.out.find("better") - 2, 40);
  for (const std::string& expected : {"Changes since " + Sample("full.tlg"), summary}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
  const auto pages = [](const std::string& pdfText) {
    const std::size_t of = pdfText.rfind(" of ");
    return std::stoi(pdfText.substr(of + 4));
  };
  EXPECT_GT(pages(text), pages(plainText));
  EXPECT_NE(text.find("Page " + std::to_string(pages(text)) + " of"), std::string::npos);
}

TEST_F(ReportToolTest, ADashWritesTheSameDocumentToStandardOutput) {
  const ToolRun file = Run({"report", Sample("ends-with-e.tlg"), PathOf("a.pdf")});
  const ToolRun standard = Run({"report", Sample("ends-with-e.tlg"), "-"});
  EXPECT_EQ(standard.status, 0) << standard.err;
  EXPECT_EQ(standard.out.substr(0, 5), "%PDF-");
  EXPECT_EQ(standard.out.size(), ReadWholeFile(folder_ / "a.pdf").size());
  EXPECT_FALSE(fs::exists(folder_ / "-"));
}

TEST_F(ReportToolTest, FailuresLeaveNoFileAndSayWhy) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* message;
  };
  const std::string target = PathOf("out.pdf");
  const Case cases[] = {
      {{"report", Sample("mixed.tlg")}, 2, "missing"},
      {{"report", Sample("mixed.tlg"), target, "--colour"}, 2, "--colour"},
      {{"report", Sample("mixed.tlg"), target, "--title"}, 2, "--title"},
      {{"report", PathOf("no-such.tlg"), target}, 1, "Invalid binary file"},
      {{"report", Sample("README.md"), target}, 1, "Error - Invalid data file"},
      {{"report", Sample("mixed.tlg"), PathOf("no-folder/out.pdf")}, 1, "Can't save program image"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(folder_ / "no-folder"));
  }
}

TEST_F(ReportToolTest, AnExistingFileIsReplacedWhole) {
  std::ofstream(folder_ / "old.pdf") << "an older report";
  const ToolRun run = Run({"report", Sample("empty.tlg"), PathOf("old.pdf")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadWholeFile(folder_ / "old.pdf").substr(0, 5), "%PDF-");
}

}  // namespace
}  // namespace klxr
