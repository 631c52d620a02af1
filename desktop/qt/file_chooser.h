// The program's own file chooser, "Enter Filename", drawn with Qt widgets from its template; what
// it does is desktop/chooser_flow.h.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/chooser_flow.h"
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

class FileChooser : public TemplateDialog, private ChooserView {
  Q_OBJECT

 public:
  // Opens the chooser on the request: places it beside the owner, fills the name field from
  // ChosenPath (which is then emptied) and lists StartFolder, or the current directory when
  // StartFolder cannot be listed. Questions and errors go to boxes.
  FileChooser(ChooserRequest& request, MessageBoxes& boxes, QWidget* owner);

  // Lists a folder (relative to the one shown), makes it the current directory, writes it into
  // the folder label and filters the list. False, with nothing changed, when it cannot be listed.
  bool ListFolder(std::string_view path) { return flow_.ListFolder(path); }

  // The user's actions.
  void OnSelectionChanged();
  void OnDoubleClick(int row);
  void OnOk() { flow_.OnOk(); }
  void OnCancel() { flow_.OnCancel(); }
  void OnShowAllClicked();
  void OnCommand(int controlId) override;

  QListWidget& List() const { return *list_; }
  QLineEdit& NameField() const { return *nameField_; }
  QLabel& FolderLabel() const { return *folderLabel_; }
  QCheckBox& ShowAll() const { return *showAll_; }

 private:
  void PlaceBeside(QWidget* owner);

  // The controls as the chooser's flow sees them.
  void ShowEntries(const std::vector<std::string>& entries) override;
  void ShowFolder(const std::string& folder) override;
  std::string NameText() const override;
  void SetNameText(const std::string& text) override;
  bool ShowAllTicked() const override;
  void EndChooser(int result) override;

  QListWidget* list_;
  QLineEdit* nameField_;
  QLabel* folderLabel_;
  QCheckBox* showAll_;
  ChooserFlow flow_;
};

}  // namespace klxr
