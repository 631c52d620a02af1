#include "desktop/qt/device_list_dialog.h"

#include <QLabel>
#include <QListWidget>

#include "desktop/qt/eight_bit_text.h"
#include "desktop/qt/list_box.h"
#include "resources/message_catalogue.h"

namespace klxr {

void DeviceListEntries::Add(std::string_view versionText) {
  AddListString(list_, TextToQString(versionText));
}

DeviceListDialog::DeviceListDialog(const MeterLink& link, QWidget* owner)
    : TemplateDialog(DeviceListTemplate(), owner),
      list_(FindControl<QListWidget>(*this, ctl::kDeviceList)),
      count_(FindControl<QLabel>(*this, ctl::kDeviceCount)) {
  setWindowTitle(TextToQString(LoadText(msg::kUsbDevicesTitle)));
  if (link.DriverLibrary == nullptr) {
    return;
  }
  list_->clear();
  DeviceListEntries entries(*list_);
  const int found = DiscoverMeters(link, &entries);
  count_->setText(QString::number(found));
}

int RunDeviceListDialog(const MeterLink& link, QWidget* owner) {
  DeviceListDialog dialog(link, owner);
  return dialog.exec();
}

}  // namespace klxr
