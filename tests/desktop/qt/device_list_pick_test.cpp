// Picking a meter in the device list: the line selected when the dialog ends with OK, or a line
// double-clicked, gives its meter's device, which the sorted list does not show.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <optional>
#include <string>

#include "desktop/qt/device_list_dialog.h"
#include "support/recording_message_boxes.h"
#include "ui_test_support.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

enum class Gesture { kOk, kEnter, kDoubleClick, kEscape };

TEST(DeviceListPickTest, TheLineEndingTheDialogGivesItsMetersDevice) {
  // Device 1 is no meter; the list sorts "KLXR A" (device 2) above "KLXR B" (device 0).
  vm::BusConfig config;
  config.adapters.resize(3);
  config.adapters[0].meter->versionText = "KLXR B";
  config.adapters[1].meter.reset();
  config.adapters[2].meter->versionText = "KLXR A";
  const vm::VirtualBus bus(config);
  LogImage image;
  testing::RecordingMessageBoxes boxes;
  const d2xx::D2xxFunctions driver = vm::VirtualBus::Functions();
  MeterLink link(image, boxes);
  link.DriverLibrary = &driver;

  const struct {
    const char* what;
    int row;  // the line selected first; -1 for none
    Gesture gesture;
    std::optional<ListedMeter> picked;
  } kCases[] = {
      {"first line, OK", 0, Gesture::kOk, ListedMeter{2, "KLXR A"}},
      {"second line, Enter", 1, Gesture::kEnter, ListedMeter{0, "KLXR B"}},
      {"double-click", 0, Gesture::kDoubleClick, ListedMeter{2, "KLXR A"}},
      {"Escape", 0, Gesture::kEscape, std::nullopt},
      {"nothing selected, OK", -1, Gesture::kOk, std::nullopt},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    testing::WhenModalShown([&c](QWidget* modal) {
      auto* dialog = qobject_cast<DeviceListDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      QListWidget& list = dialog->List();
      ASSERT_EQ(list.count(), 2);
      if (c.row >= 0) {
        list.setCurrentRow(c.row);
      }
      switch (c.gesture) {
        case Gesture::kOk:
          FindControl<QPushButton>(*dialog, ctl::kOk)->click();
          break;
        case Gesture::kEnter:
          QTest::keyClick(&list, Qt::Key_Return);
          break;
        case Gesture::kDoubleClick:
          // What the list tells of a double-click on a line.
          Q_EMIT list.itemDoubleClicked(list.item(c.row));
          break;
        case Gesture::kEscape:
          QTest::keyClick(&list, Qt::Key_Escape);
          break;
      }
    });
    std::optional<ListedMeter> picked = ListedMeter{-1, "untouched"};
    RunDeviceListDialog(link, nullptr, &picked);
    EXPECT_EQ(picked, c.picked);
  }
}

}  // namespace
}  // namespace klxr
