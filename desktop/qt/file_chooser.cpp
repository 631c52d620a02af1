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

#include "desktop/qt/chooser_listing.h"
#include "desktop/qt/eight_bit_text.h"
#include "desktop/qt/long_name.h"

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
      request_(request),
      boxes_(boxes),
      list_(FindControl<QListWidget>(*this, ctl::kChooserList)),
      nameField_(FindControl<QLineEdit>(*this, ctl::kChooserNameField)),
      folderLabel_(FindControl<QLabel>(*this, ctl::kChooserFolderLabel)),
      showAll_(FindControl<QCheckBox>(*this, ctl::kChooserShowAll)) {
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { OnDoubleClick(list_->row(item)); });

  PlaceBeside(owner);
  setWindowTitle(TextToQString(LoadText(msg::kEnterFilenameTitle)));
  nameField_->setText(PathToQString(request_.ChosenPath));
  request_.ChosenPath.clear();
  FindControl<QPushButton>(*this, ctl::kCancel)
      ->setText(TextToQString(LoadText(msg::kCancelButton)));
  ListStartFolder();
  list_->setFocus();
}

void FileChooser::PlaceBeside(QWidget* owner) {
  if (owner == nullptr || owner->screen() == nullptr) {
    return;
  }
  move(ChooserPosition(owner->frameGeometry(), frameGeometry().size(),
                       owner->screen()->availableGeometry(), pos()));
}

void FileChooser::ListStartFolder() {
  if (!ListFolder(request_.StartFolder)) {
    request_.StartFolder = CurrentFolder();
    ListFolder(request_.StartFolder);
  }
}

bool FileChooser::ListFolder(std::string_view path) {
  const std::optional<FolderListing> listing = ListFolderEntries(path);
  if (!listing) {
    return false;
  }
  list_->clear();
  for (const std::string& entry : listing->entries) {
    list_->addItem(PathToQString(entry));
  }
  ShowFolder(*folderLabel_, PathToQString(listing->folder));
  FilterChooserList();
  return true;
}

void FileChooser::FilterChooserList() {
  std::vector<std::string> entries;
  entries.reserve(static_cast<std::size_t>(list_->count()));
  for (int row = 0; row < list_->count(); ++row) {
    entries.push_back(PathFromQString(list_->item(row)->text()));
  }
  const std::vector<std::string> kept =
      FilterChooserEntries(entries, request_.ExtensionFilter, showAll_->isChecked(), LongNameOf);
  list_->clear();
  for (const std::string& entry : kept) {
    list_->addItem(PathToQString(entry));
  }
}

void FileChooser::OnSelectionChanged() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) {
    return;
  }
  const QString text = selected.front()->text();
  if (text.startsWith(u'[') && text.endsWith(u']')) {
    return;
  }
  nameField_->setText(text);
}

void FileChooser::OnDoubleClick(int row) {
  if (row < 0 || row >= list_->count()) {
    return;
  }
  list_->setCurrentRow(row);
  const std::string text = PathFromQString(list_->item(row)->text());
  const bool bracketed = text.size() >= 2 && text.front() == '[' && text.back() == ']';
  if (IsDriveEntry(text) || bracketed) {
    ListFolder(FolderOfEntry(text));
    return;
  }
  if (request_.SaveMode && !ConfirmOverwrite()) {
    return;
  }
  std::optional<std::string> path = FullPath(text);
  if (!path) {
    return;
  }
  std::string folder = FolderOfPath(*path);
  Accept(std::move(*path), std::move(folder));
}

void FileChooser::OnOk() {
  request_.ChooserFolder = CurrentFolder();
  request_.ChosenPath = FitCapacity(PathFromQString(nameField_->text()), kPathCapacity);
  if (request_.ChosenPath.empty()) {
    return;
  }
  std::optional<std::string> path = FullPath(request_.ChosenPath);
  if (!path) {
    Refuse();
    return;
  }
  OfferPath(std::move(*path), false);
}

void FileChooser::OfferPath(std::string path, bool defaultExtensionTried) {
  switch (LookUpPath(path)) {
    case PathKind::Folder:
      ListTypedFolder(path);
      return;
    case PathKind::File:
      if (!request_.SaveMode || ConfirmOverwrite()) {
        Accept(std::move(path), CurrentFolder());
      }
      return;
    case PathKind::Missing:
      break;
  }
  if (!request_.SaveMode) {
    Refuse();
    return;
  }
  // A new name: it gets the default extension when no "." stands anywhere in its path.
  const bool addExtension = !defaultExtensionTried && !request_.DefaultExtension.empty() &&
                            path.find('.') == std::string::npos;
  if (!addExtension) {
    Accept(std::move(path), CurrentFolder());
    return;
  }
  path += request_.DefaultExtension;
  if (path.size() >= kPathCapacity) {
    Refuse();
    return;
  }
  OfferPath(std::move(path), true);
}

bool FileChooser::ConfirmOverwrite() {
  return AskQuestion(boxes_, msg::kConfirmOverwrite) == Answer::Yes;
}

void FileChooser::ListTypedFolder(const std::string& path) {
  ListFolder(path);
  request_.ChosenPath.clear();
  nameField_->clear();
}

void FileChooser::Refuse() {
  ShowMessage(boxes_, msg::kInvalidBinaryFile, BoxKind::Error);
  request_.ChosenPath.clear();
}

void FileChooser::Accept(std::string path, std::string folder) {
  request_.ChosenPath = std::move(path);
  request_.ChooserFolder = std::move(folder);
  done(ctl::kOk);
}

void FileChooser::OnCancel() {
  request_.ChosenPath.clear();
  request_.ChooserFolder = CurrentFolder();
  done(ctl::kCancel);
}

void FileChooser::OnShowAllClicked() {
  // The box has ticked or unticked itself already; the same folder is listed again once the
  // click has been handled.
  QMetaObject::invokeMethod(
      this,
      [this] {
        request_.ChooserFolder = CurrentFolder();
        ListFolder(request_.ChooserFolder);
      },
      Qt::QueuedConnection);
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
