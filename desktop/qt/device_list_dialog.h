// "USB Devices", the device list: the version text of every meter attached, in sorted order, and
// how many answered. Discovery runs to completion before the dialog is shown, each time it opens.
// Without a driver library the dialog shows its title, an empty list and "0". A line selected when
// OK (or Enter) ends the dialog, or a line double-clicked, picks its meter for Read and Erase.
#pragma once

#include <optional>
#include <string_view>

#include "desktop/qt/template_dialog.h"
#include "link/meter_discovery.h"
#include "link/meter_link.h"

class QLabel;
class QListWidget;

namespace klxr {

// Adds each version text to the dialog's sorted list, shown as Latin-1; the line keeps its device's
// index as its data (Qt::UserRole).
class DeviceListEntries : public MeterList {
 public:
  explicit DeviceListEntries(QListWidget& list) : list_(list) {}
  void Add(std::string_view versionText, int deviceIndex) override;

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
  // The meter of the selected line; none when no line is selected.
  std::optional<ListedMeter> SelectedMeter() const;

 private:
  QListWidget* list_;
  QLabel* count_;
};

// Discovers the meters and shows the dialog modally over its owner until OK, Enter, a double-click
// on a line or Escape ends it. Returns 1 for OK, 2 for Escape. When it ended with OK and picked is
// given, the meter of the line selected then goes into picked (none without a selection).
int RunDeviceListDialog(const MeterLink& link, QWidget* owner,
                        std::optional<ListedMeter>* picked = nullptr);

}  // namespace klxr
