// MainWindow: the program's one top-level window. A fixed-size window (outer size 230 x 90 pixels,
// a title bar with a close box, no minimise or maximise box, no sizing border) holding the menu
// bar and, below it, the client area with the progress bar. It is also the window the meter
// conversations act on (DesktopWindow): the View command's state, repaints and the download
// timer. What its commands, timer ticks and closing do is left to its owner, through callbacks.
#pragma once

#include <QMainWindow>
#include <QSize>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "desktop/desktop_shell.h"
#include "desktop/qt/main_menu.h"
#include "desktop/qt/progress_bar.h"

class QTimer;

namespace klxr {

// The outer size of the window, frame and title bar included.
inline constexpr QSize kMainWindowOuterSize{230, 90};
// The least height the client area below the menu bar keeps: the bar (down to y = 35) and a margin.
// Where the window frame is so tall that the outer size leaves less, the window grows just enough.
inline constexpr int kMinimumClientHeight = 40;

class MainWindow : public QMainWindow, public DesktopWindow {
 public:
  // caption: the window title (8-bit text, shown as Latin-1).
  MainWindow(std::string_view caption, MainWindowCallbacks callbacks);
  ~MainWindow() override;

  // DesktopWindow.
  void SetViewEnabled(bool enabled) override;
  void RequestRepaint(bool eraseBackground) override;
  void StartTimer(int timerId, int periodMs) override;
  bool KillTimer(int timerId) override;
  // As the close box does: while a Read runs, the user is asked first (the closing callback).
  void Close() override { close(); }
  // Closes the window without asking: the system or a signal ends the program.
  void CloseWithoutAsking();
  // The title is 8-bit text, shown as Latin-1.
  void ShowTitle(std::string_view title) override;

  // Adds the program's own items to the File menu (kFileMenuProgramItems), before its separator
  // above E&xit; they send their command ids as the table's items do.
  void AddProgramMenuItems();

  bool IsTimerRunning(int timerId) const;
  // The menu bar's action of a command, or nullptr.
  QAction* CommandAction(int commandId) const;
  // The client area below the menu bar.
  QWidget& ClientArea() const { return *clientArea_; }

  // The fixed size of the window's own area (without the frame) that gives the outer size, for a
  // frame of the given extra width and height and a menu bar of the given height.
  static QSize InnerSizeFor(QSize frameExtra, int menuBarHeight);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  // Sizes the window so that, frame included, it is kMainWindowOuterSize.
  void ApplyOuterSize();

  MainWindowCallbacks callbacks_;
  ProgressBarArea* clientArea_;
  std::map<int, std::unique_ptr<QTimer>> timers_;
  bool forcedClose_ = false;  // the close under way asks nothing
};

}  // namespace klxr
