#include "desktop/qt/file_chooser.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <utility>
#include <vector>

#include "desktop/qt/eight_bit_text.h"

namespace klxr {

QPoint ChooserPosition(const QRect& ownerFrame, const QSize& chooserFrame, const QRect& screenArea,
                       const QPoint& templatePosition) {
  const int ownerRight = ownerFrame.x() + ownerFrame.width();
  if (screenArea.x() + screenArea.width() - ownerRight >= chooserFrame.width()) {
    return {ownerRight, ownerFrame.y()};
  }
  if (ownerFrame.x() - screenArea.x() >= chooserFrame.width()) {
    return {ownerFrame.x() - chooserFrame.width(), ownerFrame.y()};
  }
  return templatePosition;
}

void ShowFolder(QLabel& label, const QString& folder) {
  const QFontMetrics metrics = label.fontMetrics();
  // A framed label indents its text by half an "x" on each side.
  const int room =
      label.contentsRect().width() - 2 * label.margin() - metrics.horizontalAdvance('x');
  label.setText(metrics.elidedText(folder, Qt::ElideMiddle, std::max(room, 0)));
  label.setToolTip(folder);
}

FileChooser::FileChooser(ChooserRequest& request, MessageBoxes& boxes, QWidget* owner)
    : TemplateDialog(FileChooserTemplate(), owner),
      list_(FindControl<QListWidget>(*this, ctl::kChooserList)),
      nameField_(FindControl<QLineEdit>(*this, ctl::kChooserNameField)),
      folderLabel_(FindControl<QLabel>(*this, ctl::kChooserFolderLabel)),
      showAll_(FindControl<QCheckBox>(*this, ctl::kChooserShowAll)),
      flow_(request, boxes, *this) {
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { OnDoubleClick(list_->row(item)); });

  PlaceBeside(owner);
  setWindowTitle(TextToQString(LoadText(msg::kEnterFilenameTitle)));
  FindControl<QPushButton>(*this, ctl::kCancel)
      ->setText(TextToQString(LoadText(msg::kCancelButton)));
  flow_.Open();
  list_->setFocus();
}

void FileChooser::PlaceBeside(QWidget* owner) {
  if (owner == nullptr || owner->screen() == nullptr) {
    return;
  }
  move(ChooserPosition(owner->frameGeometry(), frameGeometry().size(),
                       owner->screen()->availableGeometry(), pos()));
}

void FileChooser::ShowEntries(const std::vector<std::string>& entries) {
  list_->clear();
  for (const std::string& entry : entries) {
    list_->addItem(PathToQString(entry));
  }
}

void FileChooser::ShowFolder(const std::string& folder) {
  klxr::ShowFolder(*folderLabel_, PathToQString(folder));
}

std::string FileChooser::NameText() const {
  return PathFromQString(nameField_->text());
}

void FileChooser::SetNameText(const std::string& text) {
  nameField_->setText(PathToQString(text));
}

bool FileChooser::ShowAllTicked() const {
  return showAll_->isChecked();
}

void FileChooser::EndChooser(int result) {
  done(result);
}

void FileChooser::OnSelectionChanged() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (!selected.isEmpty()) {
    flow_.OnSelect(PathFromQString(selected.front()->text()));
  }
}

void FileChooser::OnDoubleClick(int row) {
  if (row < 0 || row >= list_->count()) {
    return;
  }
  list_->setCurrentRow(row);
  flow_.OnDoubleClick(PathFromQString(list_->item(row)->text()));
}

void FileChooser::OnShowAllClicked() {
  // The box has ticked or unticked itself already; the same folder is listed again once the
  // click has been handled.
  QMetaObject::invokeMethod(
      this, [this] { flow_.OnShowAllChanged(); }, Qt::QueuedConnection);
}

void FileChooser::OnCommand(int controlId) {
  switch (controlId) {
    case ctl::kOk:
      OnOk();
      break;
    case ctl::kCancel:
      OnCancel();
      break;
    case ctl::kChooserShowAll:
      OnShowAllClicked();
      break;
    default:
      break;
  }
}

}  // namespace klxr
