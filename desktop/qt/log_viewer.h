// "Log Entries", the log viewer: every counted record of the log image as one line of a tabbed
// list under fixed column headings, the power levels in dBm or, with "Show dBuV" ticked, in dBuV.
// "Export (.csv)" writes the same CSV file as the main menu's export. The viewer only reads the log
// image and keeps nothing between openings: every opening starts in dBm, unticked. The list's
// context menu (right click, or the menu key) copies the selected lines and saves the PDF report of
// the log in the units shown. The viewer opens at its template's size and can grow from there (a
// sizing border and a maximise box): the list grows with it (desktop/log_viewer_layout.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
  // The list's context menu: "Copy" and "Report (.pdf)...".
  QMenu& ListMenu() const { return *listMenu_; }
  QAction& CopyAction() const { return *copy_; }
  QAction& SaveReportAction() const { return *saveReport_; }

  // Runs the chooser for a .pdf file and writes the report of the log there in the units shown.
  void OnSaveReport();
  // Puts the selected lines on the clipboard, tab-separated, one line each (Ctrl+C).
  void OnCopy();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MakeResizable();
  void OnShowDbuvClicked();
  void OnExport();
  void OnListMenuRequested(const QPoint& position);

  LogViewerContext context_;
  QListWidget* list_;
  QCheckBox* showDbuv_;
  QMenu* listMenu_;
  QAction* copy_;
  QAction* saveReport_;
  std::vector<std::string> lines_;  // the lines the list shows, for Copy
  QSize templateClient_;            // the size the viewer opens at, its least
  std::vector<QRect> templatePlaces_;
};

// Shows the viewer modally over its owner until Close, Escape or the close box ends it. Returns 1
// for Close, 2 for Escape or the close box.
int RunLogViewer(const LogViewerContext& context, QWidget* owner);

}  // namespace klxr
