// The program's own file chooser, "Enter Filename": one folder at a time in a list (files,
// sub-folders as [name], drives), only the files with the caller's extensions unless "Show All" is
// ticked. The user walks folders and drives by double-click and takes a file by double-click or by
// typing its name. In save mode it asks before an existing file is chosen and gives a new name
// without a "." the default extension. It talks to its caller only through the ChooserRequest.
// The folder it lists is the process's current directory, and stays so when it ends.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>
#include <string_view>

#include "desktop/chooser_request.h"
#include "desktop/qt/template_dialog.h"
#include "resources/message_catalogue.h"

class QCheckBox;
class QLabel;
class QString;
class QLineEdit;
class QListWidget;

namespace klxr {

// Where the chooser opens beside its owner (outer frames, in screen pixels): to its right, top
// edges level, when the screen has room; otherwise to its left; otherwise where it already is.
QPoint ChooserPosition(const QRect& ownerFrame, const QSize& chooserFrame, const QRect& screenArea,
                       const QPoint& templatePosition);

// Writes the folder listed into the chooser's label: whole when it fits, otherwise with its middle
// left out ("/home/ann/…/exports") so that both the top and the folder's own name stay visible;
// the whole path is always the label's tooltip.
void ShowFolder(QLabel& label, const QString& folder);

class FileChooser : public TemplateDialog {
  Q_OBJECT

 public:
  // Opens the chooser on the request: places it beside the owner, fills the name field from
  // ChosenPath (which is then emptied) and lists StartFolder, or the current directory when
  // StartFolder cannot be listed. Questions and errors go to boxes.
  FileChooser(ChooserRequest& request, MessageBoxes& boxes, QWidget* owner);

  // Lists a folder (relative to the one shown), makes it the current directory, writes it into
  // the folder label and filters the list. False, with nothing changed, when it cannot be listed.
  bool ListFolder(std::string_view path);
  // Applies the extension filter and the "Show All" box to the entries listed.
  void FilterChooserList();

  // The user's actions.
  void OnSelectionChanged();
  void OnDoubleClick(int row);
  void OnOk();
  void OnCancel();
  void OnShowAllClicked();
  void OnCommand(int controlId) override;

  QListWidget& List() const { return *list_; }
  QLineEdit& NameField() const { return *nameField_; }
  QLabel& FolderLabel() const { return *folderLabel_; }
  QCheckBox& ShowAll() const { return *showAll_; }

 private:
  void PlaceBeside(QWidget* owner);
  void ListStartFolder();
  // OK on a full path: a file is taken, a folder listed, a missing name handled by the mode.
  void OfferPath(std::string path, bool defaultExtensionTried);
  bool ConfirmOverwrite();
  void ListTypedFolder(const std::string& path);
  void Refuse();
  void Accept(std::string path, std::string folder);

  ChooserRequest& request_;
  MessageBoxes& boxes_;
  QListWidget* list_;
  QLineEdit* nameField_;
  QLabel* folderLabel_;
  QCheckBox* showAll_;
};

}  // namespace klxr
