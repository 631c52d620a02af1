// The Win32 side of an automated run (desktop/script_runner.h): a thread timer that steps the
// script (modal loops dispatch its WM_TIMER too), and finding and working the program's windows
// the steps name. The front window is the enabled dialog of the program's thread, a task-modal
// message box being the only enabled one while it is open; the boxes the run shows are counted
// so that a box is told from a dialog.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "desktop/script_runner.h"
#include "desktop/win32/win32_message_boxes.h"

namespace klxr::win32 {

// The program's message boxes, noting while one is open.
class TrackedMessageBoxes : public MessageBoxes {
 public:
  explicit TrackedMessageBoxes(std::string caption) : boxes_(std::move(caption)) {}
  void Show(int index, std::string_view text, BoxKind kind) override;
  Answer Ask(int index, std::string_view text) override;
  Answer AskDefaultNo(int index, std::string_view text) override;
  bool Open() const { return open_ > 0; }

 private:
  Win32MessageBoxes boxes_;
  int open_ = 0;
};

class Win32AutomationControls : public AutomationControls {
 public:
  // boxes: the boxes the run shows; mainWindow: the program's main window, the front window when
  // no modal window is open.
  Win32AutomationControls(const TrackedMessageBoxes& boxes, std::function<HWND()> mainWindow);
  ~Win32AutomationControls() override;
  Win32AutomationControls(const Win32AutomationControls&) = delete;
  Win32AutomationControls& operator=(const Win32AutomationControls&) = delete;

  void StartTicking(std::function<void()> tick) override;
  void StopTicking() override;
  void Later(std::function<void()> action) override;
  bool ModalOpen() const override;
  ControlReach PressBoxButton(ScriptedAnswer answer) override;
  ControlReach Choose(const std::string& path) override;
  ControlReach CancelModal() override;
  ControlReach Click(int controlId) override;
  // A BMP picture of the front window, whatever the file's name ends with.
  bool Screenshot(const std::string& path) override;
  void PaintNow() override;

 private:
  static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
  static void CALLBACK OnLater(HWND, UINT, UINT_PTR timerId, DWORD);
  HWND FrontDialog() const;

  const TrackedMessageBoxes& boxes_;
  std::function<HWND()> mainWindow_;
  std::function<void()> tick_;
  UINT_PTR tickTimer_ = 0;
  UINT_PTR laterTimer_ = 0;
  std::deque<std::function<void()>> later_;
};

}  // namespace klxr::win32
