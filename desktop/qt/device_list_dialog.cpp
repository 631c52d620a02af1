#include "desktop/qt/device_list_dialog.h"

#include <QLabel>
#include <QListWidget>

#include "desktop/qt/eight_bit_text.h"
#include "desktop/qt/list_box.h"
#include "resources/message_catalogue.h"

namespace klxr {

void DeviceListEntries::Add(std::string_view versionText, int deviceIndex) {
  const int row = AddListString(list_, TextToQString(versionText));
  list_.item(row)->setData(Qt::UserRole, deviceIndex);
}

DeviceListDialog::DeviceListDialog(const MeterLink& link, QWidget* owner)
    : TemplateDialog(DeviceListTemplate(), owner),
      list_(FindControl<QListWidget>(*this, ctl::kDeviceList)),
      count_(FindControl<QLabel>(*this, ctl::kDeviceCount)) {
  setWindowTitle(TextToQString(LoadText(msg::kUsbDevicesTitle)));
  // A double-click picks the line's meter as selecting it and pressing OK does.
  connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    list_->setCurrentItem(item);
    OnCommand(ctl::kOk);
  });
  if (link.DriverLibrary == nullptr) {
    return;
  }
  list_->clear();
  DeviceListEntries entries(*list_);
  const int found = DiscoverMeters(link, &entries);
  count_->setText(QString::number(found));
}

std::optional<ListedMeter> DeviceListDialog::SelectedMeter() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) {
    return std::nullopt;
  }
  const QListWidgetItem& item = *selected.front();
  return ListedMeter{item.data(Qt::UserRole).toInt(), TextFromQString(item.text())};
}

int RunDeviceListDialog(const MeterLink& link, QWidget* owner, std::optional<ListedMeter>* picked) {
  DeviceListDialog dialog(link, owner);
  const int result = dialog.exec();
  if (picked != nullptr) {
    *picked = result == ctl::kOk ? dialog.SelectedMeter() : std::nullopt;
  }
  return result;
}

}  // namespace klxr
