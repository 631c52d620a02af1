// Automation scripts run in-process against the program on the in-process virtual meter.
#include "desktop/qt/automation_runner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <memory>
#include <sstream>

#include "app_test_support.h"
#include "desktop/automation_message_boxes.h"
#include "desktop/qt/qt_message_boxes.h"

namespace klxr {
namespace {

using testing::AppTest;
using testing::RunEventsUntil;

class AutomationRunnerTest : public AppTest {
 protected:
  ~AutomationRunnerTest() override {
    app_.reset();
    runner_.reset();
  }

  // Runs the script to its end on a started program. The runner stays alive afterwards, as it does
  // in the program, so that a command its last step queued still runs.
  void RunScript(const std::string& text) {
    AutomationScript script = ParseAutomationScript(text);
    ASSERT_TRUE(script.errors.empty()) << script.errors.front();
    runner_ = std::make_unique<AutomationRunner>(*app_, scripted_, std::move(script.steps), report_,
                                                 failures_);
    runner_->Begin();
    ASSERT_TRUE(RunEventsUntil([&] { return runner_->Finished() || runner_->Failed(); }));
    EXPECT_FALSE(runner_->Failed()) << failures_.str();
  }
  void Start(std::vector<vm::RecordBytes> records) {
    bus_ = std::make_unique<vm::VirtualBus>(vm::OneMeter(std::move(records)));
    app_ = std::make_unique<Application>(shell_, scripted_, testing::BusServices(*bus_));
    ASSERT_TRUE(app_->Start(""));
  }
  std::vector<std::string> ReportLines() const {
    std::vector<std::string> lines;
    std::istringstream in(report_.str());
    for (std::string line; std::getline(in, line);) {
      lines.push_back(line);
    }
    return lines;
  }

  std::ostringstream report_;
  std::ostringstream failures_;
  AutomationMessageBoxes scripted_{boxes_, report_};
  std::unique_ptr<AutomationRunner> runner_;
};

TEST_F(AutomationRunnerTest, ReadsSavesAndQuitsAnsweringEveryBoxFromTheScript) {
  Start(vm::GeneratedRecords(12));
  const std::string saved = folder_.Path("log.tlg");
  const std::string picture = folder_.Path("main.png");
  RunScript(
      "answer ok\n"
      "command 32779\n"
      "wait-idle\n"
      "command 32784\n"
      "choose " +
      saved +
      "\n"
      "wait-idle\n"
      "screenshot " +
      picture +
      "\n"
      "freeze-until " +
      saved +
      "\n"
      "print done\n"
      "quit\n");
  ASSERT_TRUE(RunEventsUntil([&] { return app_->Closed(); }));
  EXPECT_EQ(ReportLines(), (std::vector<std::string>{
                               "box information 3 \"Transfer Complete!\" -> ok",
                               "screenshot " + picture,
                               "frozen " + saved,
                               "done",
                           }));
  EXPECT_TRUE(boxes_.boxes.empty());  // no box was shown to a user
  EXPECT_EQ(CountRecords(State().Image, nullptr), 12);
  QFile file(QString::fromStdString(saved));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), State().Image.bytes.begin(),
                         State().Image.bytes.end(),
                         [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
  EXPECT_EQ(QImage(QString::fromStdString(picture)).size(), Window().size());
}

TEST_F(AutomationRunnerTest, ABoxWithoutAWaitingAnswerIsShownAndALaterAnswerPressesItsButton) {
  bus_ = std::make_unique<vm::VirtualBus>(vm::OneMeter({}));
  QtMessageBoxes shown;
  AutomationMessageBoxes scripted(shown, report_);
  app_ = std::make_unique<Application>(shell_, scripted, testing::BusServices(*bus_));
  ASSERT_TRUE(app_->Start(""));
  AutomationScript script = ParseAutomationScript(
      "command 32806\n"
      "wait-modal\n"
      "answer ok\n"
      "wait-idle\n"
      "answer no\n"
      "command 32782\n"
      "wait-idle\n");
  AutomationRunner runner(*app_, scripted, std::move(script.steps), report_, failures_);
  runner.Begin();
  ASSERT_TRUE(RunEventsUntil([&] { return runner.Finished() || runner.Failed(); }));
  EXPECT_FALSE(runner.Failed()) << failures_.str();
  EXPECT_EQ(
      ReportLines(),
      (std::vector<std::string>{
          "box error 26 \"No logging data present\" -> ok",
          "box question 23 \"Please confirm that you wish to erase the meter log data?\\n(This "
          "may take a few seconds)\" -> no"}));
  EXPECT_TRUE(bus_->CallLog().empty());
  app_.reset();
}

TEST_F(AutomationRunnerTest, CancelClosesTheChooserAndWaitProgressFollowsTheDownload) {
  Start(vm::GeneratedRecords(30));
  RunScript(
      "command 32780\n"
      "wait-modal\n"
      "cancel\n"
      "wait-idle\n"
      "answer ok\n"
      "command 32779\n"
      "wait-progress 20\n"
      "print twenty\n"
      "wait-idle\n");
  EXPECT_EQ(ReportLines(),
            (std::vector<std::string>{"twenty", "box information 3 \"Transfer Complete!\" -> ok"}));
  EXPECT_EQ(State().Link.Download.RecordsReceived, 30);
}

}  // namespace
}  // namespace klxr
