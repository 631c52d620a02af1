// "USB Devices", the device list: the version text of every meter attached, in sorted order, and
// how many answered. Discovery runs to completion before the dialog is shown, each time it opens.
// Without a driver library the dialog shows its title, an empty list and "0".
#pragma once

#include <string_view>

#include "desktop/qt/template_dialog.h"
#include "link/meter_discovery.h"
#include "link/meter_link.h"

class QLabel;
class QListWidget;

namespace klxr {

// Adds each version text to the dialog's sorted list, shown as Latin-1.
class DeviceListEntries : public MeterList {
 public:
  explicit DeviceListEntries(QListWidget& list) : list_(list) {}
  void Add(std::string_view versionText) override;

 private:
  QListWidget& list_;
};

class DeviceListDialog : public TemplateDialog {
  Q_OBJECT

 public:
  // Builds the dialog over its owner, sets its title and, with a driver library loaded, runs
  // discovery into the list and shows the count.
  DeviceListDialog(const MeterLink& link, QWidget* owner);

  QListWidget& List() const { return *list_; }
  QLabel& Count() const { return *count_; }

 private:
  QListWidget* list_;
  QLabel* count_;
};

// Discovers the meters and shows the dialog modally over its owner until OK or Escape ends it.
// Returns 1 for OK, 2 for Escape.
int RunDeviceListDialog(const MeterLink& link, QWidget* owner);

}  // namespace klxr
