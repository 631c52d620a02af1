#include "desktop/win32/automation_controls.h"

#include <string_view>
#include <utility>

#include "desktop/win32/window_bitmap.h"
#include "resources/dialog_templates.h"

namespace klxr::win32 {
namespace {

constexpr UINT kTickMs = 2;

// The one automated run of the process, reached from the timer procedures.
Win32AutomationControls* gControls = nullptr;

template <typename Call>
auto WhileOpen(int& open, Call call) {
  ++open;
  struct Closing {
    int& open;
    ~Closing() { --open; }
  } closing{open};
  return call();
}

bool IsDialog(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string_view(name) == "#32770";
}

BOOL CALLBACK FindEnabledDialog(HWND window, LPARAM found) {
  if (IsWindowVisible(window) && IsWindowEnabled(window) && IsDialog(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK RedrawNow(HWND window, LPARAM /*unused*/) {
  if (IsWindowVisible(window)) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  }
  return TRUE;
}

int ButtonId(ScriptedAnswer answer) {
  switch (answer) {
    case ScriptedAnswer::Ok:
      return IDOK;
    case ScriptedAnswer::Yes:
      return IDYES;
    case ScriptedAnswer::No:
      return IDNO;
    case ScriptedAnswer::Cancel:
      return IDCANCEL;
  }
  return IDOK;
}

// Posts the button's click to its dialog, so that a window the click opens runs its own loop
// outside the step. A check box changes its state first, as a click of the mouse does.
void PostClick(HWND dialog, HWND button, int controlId) {
  const LONG_PTR type = GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK;
  if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
    const LRESULT checked = SendMessageA(button, BM_GETCHECK, 0, 0);
    SendMessageA(button, BM_SETCHECK, checked == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

}  // namespace

void TrackedMessageBoxes::Show(int index, std::string_view text, BoxKind kind) {
  WhileOpen(open_, [&] {
    boxes_.Show(index, text, kind);
    return 0;
  });
}

Answer TrackedMessageBoxes::Ask(int index, std::string_view text) {
  return WhileOpen(open_, [&] { return boxes_.Ask(index, text); });
}

Answer TrackedMessageBoxes::AskDefaultNo(int index, std::string_view text) {
  return WhileOpen(open_, [&] { return boxes_.AskDefaultNo(index, text); });
}

Win32AutomationControls::Win32AutomationControls(const TrackedMessageBoxes& boxes,
                                                 std::function<HWND()> mainWindow)
    : boxes_(boxes), mainWindow_(std::move(mainWindow)) {
  gControls = this;
}

Win32AutomationControls::~Win32AutomationControls() {
  StopTicking();
  if (laterTimer_ != 0) {
    KillTimer(nullptr, laterTimer_);
  }
  gControls = nullptr;
}

void CALLBACK Win32AutomationControls::OnTick(HWND, UINT, UINT_PTR, DWORD) {
  if (gControls != nullptr && gControls->tick_) {
    gControls->tick_();
  }
}

void CALLBACK Win32AutomationControls::OnLater(HWND, UINT, UINT_PTR timerId, DWORD) {
  KillTimer(nullptr, timerId);
  if (gControls == nullptr || gControls->later_.empty()) {
    return;
  }
  Win32AutomationControls& self = *gControls;
  self.laterTimer_ = 0;
  std::function<void()> action = std::move(self.later_.front());
  self.later_.pop_front();
  if (!self.later_.empty()) {
    self.laterTimer_ = SetTimer(nullptr, 0, 0, OnLater);
  }
  action();
}

void Win32AutomationControls::StartTicking(std::function<void()> tick) {
  tick_ = std::move(tick);
  if (tickTimer_ == 0) {
    tickTimer_ = SetTimer(nullptr, 0, kTickMs, OnTick);
  }
}

void Win32AutomationControls::StopTicking() {
  if (tickTimer_ != 0) {
    KillTimer(nullptr, tickTimer_);
    tickTimer_ = 0;
  }
}

void Win32AutomationControls::Later(std::function<void()> action) {
  later_.push_back(std::move(action));
  if (laterTimer_ == 0) {
    laterTimer_ = SetTimer(nullptr, 0, 0, OnLater);
  }
}

HWND Win32AutomationControls::FrontDialog() const {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindEnabledDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool Win32AutomationControls::ModalOpen() const {
  return boxes_.Open() || FrontDialog() != nullptr;
}

ControlReach Win32AutomationControls::PressBoxButton(ScriptedAnswer answer) {
  const HWND box = boxes_.Open() ? FrontDialog() : nullptr;
  if (box == nullptr) {
    return ControlReach::NotOpen;
  }
  int id = ButtonId(answer);
  HWND button = GetDlgItem(box, id);
  if (button == nullptr && answer == ScriptedAnswer::Ok) {
    id = LOWORD(SendMessageA(box, DM_GETDEFID, 0, 0));
    button = GetDlgItem(box, id);
  }
  if (button == nullptr) {
    return ControlReach::NoSuchControl;
  }
  PostClick(box, button, id);
  return ControlReach::Done;
}

ControlReach Win32AutomationControls::Choose(const std::string& path) {
  const HWND chooser = boxes_.Open() ? nullptr : FrontDialog();
  const HWND name = chooser == nullptr ? nullptr : GetDlgItem(chooser, ctl::kChooserNameField);
  if (name == nullptr) {
    return ControlReach::NotOpen;
  }
  SetWindowTextA(name, path.c_str());
  PostClick(chooser, GetDlgItem(chooser, IDOK), IDOK);
  return ControlReach::Done;
}

ControlReach Win32AutomationControls::CancelModal() {
  const HWND front = FrontDialog();
  if (front == nullptr) {
    return ControlReach::NotOpen;
  }
  PostMessageA(front, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return ControlReach::Done;
}

ControlReach Win32AutomationControls::Click(int controlId) {
  const HWND dialog = boxes_.Open() ? nullptr : FrontDialog();
  if (dialog == nullptr) {
    return ControlReach::NotOpen;
  }
  const HWND button = GetDlgItem(dialog, controlId);
  if (button == nullptr) {
    return ControlReach::NoSuchControl;
  }
  PostClick(dialog, button, controlId);
  return ControlReach::Done;
}

bool Win32AutomationControls::Screenshot(const std::string& path) {
  HWND front = FrontDialog();
  if (front == nullptr) {
    front = mainWindow_();
  }
  return front != nullptr && SaveWindowBitmap(front, path);
}

void Win32AutomationControls::PaintNow() {
  EnumThreadWindows(GetCurrentThreadId(), RedrawNow, 0);
  // A display server may hold drawing until the program next waits for input: wait once, without
  // taking any message, so that what was painted is on the screen before the program freezes.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

}  // namespace klxr::win32
