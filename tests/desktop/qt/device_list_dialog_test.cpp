#include "desktop/qt/device_list_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

#include "support/recording_message_boxes.h"
#include "ui_test_support.h"
#include "virtual-meter/virtual_bus.h"

namespace klxr {
namespace {

using testing::RecordingMessageBoxes;

// A meter lead with a meter that reports this version text.
vm::AdapterConfig MeterReporting(const std::string& versionText) {
  vm::AdapterConfig adapter;
  adapter.meter->versionText = versionText;
  return adapter;
}

vm::BusConfig BusOf(std::vector<vm::AdapterConfig> adapters) {
  vm::BusConfig config;
  config.adapters = std::move(adapters);
  return config;
}

class DeviceListDialogTest : public ::testing::Test {
 protected:
  // Builds the dialog on a bus of these adapters, on the virtual clock.
  std::unique_ptr<DeviceListDialog> OpenOn(std::vector<vm::AdapterConfig> adapters) {
    bus_.reset();
    bus_ = std::make_unique<vm::VirtualBus>(BusOf(std::move(adapters)));
    link_.DriverLibrary = &driver_;
    return std::make_unique<DeviceListDialog>(link_, nullptr);
  }

  static QStringList Entries(const DeviceListDialog& dialog) {
    QStringList entries;
    for (int row = 0; row < dialog.List().count(); ++row) {
      entries << dialog.List().item(row)->text();
    }
    return entries;
  }

  LogImage image_;
  RecordingMessageBoxes boxes_;
  MeterLink link_{image_, boxes_};
  d2xx::D2xxFunctions driver_ = vm::VirtualBus::Functions();
  std::unique_ptr<vm::VirtualBus> bus_;
};

TEST_F(DeviceListDialogTest, ListsTheVersionTextsSortedWithTheirCount) {
  struct Case {
    const char* what;
    std::vector<vm::AdapterConfig> adapters;
    QStringList entries;
    QString count;
  };
  vm::AdapterConfig silentDevice;
  silentDevice.meter.reset();
  const Case kCases[] = {
      {"no devices", {}, {}, "0"},
      {"two meters with the same text",
       {MeterReporting("KLXR V2.31"), MeterReporting("KLXR V2.31")},
       {"KLXR V2.31", "KLXR V2.31"},
       "2"},
      {"texts arriving in reverse order, one in Latin-1",
       {MeterReporting("Zone 9"), MeterReporting("M\xE8tre 4"), MeterReporting("alpha 1")},
       {"alpha 1", QString::fromUtf8("Mètre 4"), "Zone 9"},
       "3"},
      {"a device that is no meter",
       {silentDevice, MeterReporting("KLXR V1.0")},
       {"KLXR V1.0"},
       "1"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const auto dialog = OpenOn(c.adapters);
    EXPECT_EQ(dialog->windowTitle(), "USB Devices");
    EXPECT_EQ(Entries(*dialog), c.entries);
    EXPECT_EQ(dialog->Count().text(), c.count);
  }
  EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(DeviceListDialogTest, WithoutADriverLibraryShowsTheTitleAnEmptyListAndZero) {
  bus_ = std::make_unique<vm::VirtualBus>(BusOf({MeterReporting("KLXR")}));
  link_.DriverLibrary = nullptr;
  DeviceListDialog dialog(link_, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "USB Devices");
  EXPECT_EQ(dialog.List().count(), 0);
  EXPECT_EQ(dialog.Count().text(), "0");
  EXPECT_TRUE(bus_->Calls().empty());
}

TEST_F(DeviceListDialogTest, DiscoveryRunsBeforeTheDialogIsShownAndAfreshAtEveryOpening) {
  OpenOn({MeterReporting("KLXR A"), MeterReporting("KLXR B")});
  const auto run = [this](int closeWith) {
    QStringList shown;
    testing::WhenModalShown([&shown, closeWith](QWidget* modal) {
      auto* dialog = qobject_cast<DeviceListDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      shown = Entries(*dialog);
      shown << dialog->Count().text();
      if (closeWith == ctl::kOk) {
        FindControl<QPushButton>(*dialog, ctl::kOk)->click();
      } else {
        dialog->reject();  // Escape
      }
    });
    EXPECT_EQ(RunDeviceListDialog(link_, nullptr), closeWith);
    return shown;
  };
  EXPECT_EQ(run(ctl::kOk), (QStringList{"KLXR A", "KLXR B", "2"}));
  bus_->Unplug(0);
  EXPECT_EQ(run(ctl::kCancel), (QStringList{"KLXR B", "1"}));
}

}  // namespace
}  // namespace klxr
