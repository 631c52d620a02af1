// What the file chooser "Enter Filename" does, apart from drawing it: one folder at a time in a
// list (files, sub-folders as [name], drives), only the files with the caller's extensions unless
// "Show All" is ticked. The user walks folders and drives by double-click and takes a file by
// double-click or by typing its name. In save mode it asks before an existing file is chosen and
// gives a new name without a "." the default extension. It talks to its caller only through the
// ChooserRequest. The folder it lists is the process's current directory, and stays so when it
// ends.
//
// Each desktop shell draws the dialog and passes the user's actions on to a ChooserFlow, which
// answers through the ChooserView.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "desktop/chooser_request.h"
#include "resources/message_catalogue.h"

namespace klxr {

// The chooser's controls as the flow sees them.
class ChooserView {
 public:
  // The list's entries, in order, replacing what it held.
  virtual void ShowEntries(const std::vector<std::string>& entries) = 0;
  // The label above the list: the folder listed.
  virtual void ShowFolder(const std::string& folder) = 0;
  virtual std::string NameText() const = 0;
  virtual void SetNameText(const std::string& text) = 0;
  virtual bool ShowAllTicked() const = 0;
  // Ends the dialog with 1 (a file was chosen) or 2 (cancelled).
  virtual void EndChooser(int result) = 0;

 protected:
  ~ChooserView() = default;
};

inline constexpr int kChooserChose = 1;
inline constexpr int kChooserCancelled = 2;

class ChooserFlow {
 public:
  ChooserFlow(ChooserRequest& request, MessageBoxes& boxes, ChooserView& view);

  // Opening: fills the name field from ChosenPath (which is then emptied) and lists StartFolder,
  // or the current directory when StartFolder cannot be listed (StartFolder then names it).
  void Open();

  // Lists a folder (relative to the one shown), makes it the current directory, shows it in the
  // label and fills the list with the entries the filter keeps. False, with nothing changed, when
  // it cannot be listed.
  bool ListFolder(std::string_view path);

  // The user's actions, with the text of the entry concerned.
  void OnSelect(std::string_view entry);
  void OnDoubleClick(std::string_view entry);
  void OnOk();
  void OnCancel();
  // Once "Show All" has changed and the click has been handled: lists the same folder again.
  void OnShowAllChanged();

 private:
  // OK on a full path: a file is taken, a folder listed, a missing name handled by the mode.
  void OfferPath(std::string path, bool defaultExtensionTried);
  bool ConfirmOverwrite();
  void ListTypedFolder(const std::string& path);
  void Refuse();
  void Accept(std::string path, std::string folder);

  ChooserRequest& request_;
  MessageBoxes& boxes_;
  ChooserView& view_;
};

}  // namespace klxr
