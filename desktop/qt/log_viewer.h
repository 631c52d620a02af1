// "Log Entries", the log viewer: every counted record of the log image as one line of a tabbed
// list under fixed column headings, the power levels in dBm or, with "Show dBuV" ticked, in dBuV.
// "Export (.csv)" writes the same CSV file as the main menu's export. The viewer only reads the log
// image and keeps nothing between openings: every opening starts in dBm, unticked. The list's
// context menu (right click, or the menu key) saves the PDF report of the log in the units shown.
#pragma once

#include <cstdint>

#include "desktop/chooser_request.h"
#include "desktop/desktop_shell.h"
#include "desktop/qt/template_dialog.h"
#include "log/log_image.h"
#include "resources/message_catalogue.h"

class QAction;
class QCheckBox;
class QListWidget;
class QMenu;

namespace klxr {

class LogViewer : public TemplateDialog {
  Q_OBJECT

 public:
  // Builds the dialog over its owner and fills the list in dBm.
  LogViewer(const LogViewerContext& context, QWidget* owner);

  // Empties the list and adds the display line of each counted record in the given units
  // (kUnitsDbm or kUnitsDbuv), in record order; the list shows its first line.
  void FillLogList(std::uint8_t units);

  // "Show dBuV" (its state taken afresh from the box), "Export (.csv)", Close and Cancel.
  void OnCommand(int controlId) override;

  QListWidget& List() const { return *list_; }
  QCheckBox& ShowDbuv() const { return *showDbuv_; }
  // The list's context menu and its one command, "Save report (.pdf)...".
  QMenu& ListMenu() const { return *listMenu_; }
  QAction& SaveReportAction() const { return *saveReport_; }

  // Runs the chooser for a .pdf file and writes the report of the log there in the units shown.
  void OnSaveReport();

 private:
  void OnShowDbuvClicked();
  void OnExport();
  void OnListMenuRequested(const QPoint& position);

  LogViewerContext context_;
  QListWidget* list_;
  QCheckBox* showDbuv_;
  QMenu* listMenu_;
  QAction* saveReport_;
};

// Shows the viewer modally over its owner until Close, Escape or the close box ends it. Returns 1
// for Close, 2 for Escape or the close box.
int RunLogViewer(const LogViewerContext& context, QWidget* owner);

}  // namespace klxr
