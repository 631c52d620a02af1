#include "desktop/win32/main_window.h"

#include <utility>

#include "desktop/read_progress_text.h"
#include "resources/command_ids.h"
#include "resources/menu_table.h"

namespace klxr::win32 {
namespace {

constexpr int kIconId = 135;
constexpr int kBarLeft = 10;
constexpr int kBarTop = 15;
constexpr int kBarRight = 215;
constexpr int kBarBottom = 35;
// The label that names the painted bar for assistive technology: a static without size at the bar's
// corner, reading "Read progress" and, while a Read runs, how far it has come.
constexpr int kProgressLabelId = 1001;
// The posted tick of the fine ticker; wParam is the timer's id.
constexpr UINT kFineTickMessage = WM_APP + 1;

// The commands of the menu table and the program's own items; any other WM_COMMAND goes to the
// system.
bool IsMenuCommand(int commandId) {
  for (const MenuItemTemplate& item : kFileMenuProgramItems) {
    if (item.commandId == commandId && item.kind == MenuItemKind::Command) {
      return true;
    }
  }
  for (const MenuBarEntry& entry : kMainMenu) {
    if (entry.commandId == commandId && entry.kind == MenuItemKind::Command) {
      return true;
    }
    for (const MenuItemTemplate& item : entry.items) {
      if (item.commandId == commandId && item.kind == MenuItemKind::Command) {
        return true;
      }
    }
  }
  return false;
}

void DrawRectangle(HDC dc, int pen, int brush, int right) {
  SelectObject(dc, GetStockObject(pen));
  SelectObject(dc, GetStockObject(brush));
  Rectangle(dc, kBarLeft, kBarTop, right, kBarBottom);
}

}  // namespace

int ProgressFillRight(int shown, int total) {
  if (total <= 0) {
    return kBarLeft;
  }
  return shown * (kBarRight - kBarLeft) / total + kBarLeft;
}

MainWindow::MainWindow(MainWindowCallbacks callbacks) : callbacks_(std::move(callbacks)) {}

MainWindow::~MainWindow() {
  if (window_ != nullptr) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

void MainWindow::Close() {
  if (window_ != nullptr) {
    SendMessageA(window_, WM_CLOSE, 0, 0);
  }
}

void MainWindow::RegisterWindowClass(HINSTANCE instance, const std::string& className) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszMenuName = MAKEINTRESOURCEA(kMainMenuId);
  windowClass.lpszClassName = className.c_str();
  RegisterClassExA(&windowClass);
}

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, const std::string& className,
                                               const std::string& caption,
                                               MainWindowCallbacks callbacks) {
  std::unique_ptr<MainWindow> window(new MainWindow(std::move(callbacks)));
  const HWND handle = CreateWindowExA(
      0, className.c_str(), caption.c_str(), WS_OVERLAPPED | WS_SYSMENU, CW_USEDEFAULT,
      CW_USEDEFAULT, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, window.get());
  if (handle == nullptr) {
    return nullptr;
  }
  CreateWindowExA(0, "STATIC", std::string(kReadProgressName).c_str(),
                  WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kBarLeft, kBarTop, 0, 0, handle,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressLabelId)), instance,
                  nullptr);
  return window;
}

LRESULT CALLBACK MainWindow::MainWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_COMMAND: {
      const int commandId = LOWORD(wParam);
      if (!IsMenuCommand(commandId)) {
        break;
      }
      if (callbacks_.command) {
        callbacks_.command(commandId);
      }
      return 0;
    }
    case WM_TIMER:
      Tick(static_cast<int>(wParam));
      return 0;
    case WM_CLOSE:
      // The close box, Alt+F4 and E&xit: while a Read runs the program asks whether to stop it,
      // and No keeps the window.
      if (callbacks_.closing && !callbacks_.closing()) {
        return 0;
      }
      DestroyWindow(window_);
      return 0;
    case WM_KEYDOWN:
      // Escape asks to stop a Read that runs; without one it does nothing.
      if (wParam == VK_ESCAPE) {
        if (callbacks_.stop) {
          callbacks_.stop();
        }
        return 0;
      }
      break;
    case kFineTickMessage:
      fineTicker_.Delivered();
      Tick(static_cast<int>(wParam));
      return 0;
    case WM_ENDSESSION:
      // The user logs off or the system shuts down: the program ends after this message, so a
      // Read in progress ends now as it does when the window closes ("END", the port closed).
      if (wParam != FALSE) {
        DestroyWindow(window_);
      }
      return 0;
    case WM_DESTROY:
      StopAllTimers();
      // The program decides whether the loop ends: a window closed before the loop runs must not
      // leave a quit behind that would end every later modal window at once.
      if (callbacks_.destroyed) {
        callbacks_.destroyed();
      }
      return 0;
    case WM_NCDESTROY: {
      // The last message of the window: from here on there is no window to destroy or to act on.
      const HWND closing = window_;
      SetWindowLongPtrA(closing, GWLP_USERDATA, 0);
      window_ = nullptr;
      return DefWindowProcA(closing, message, wParam, lParam);
    }
    default:
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

// Idle: the bar's place is blank (a white rectangle). Downloading: a black fill up to the
// progress, then the black outline of the whole bar.
void MainWindow::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  const ProgressView view = callbacks_.progress ? callbacks_.progress() : ProgressView{};
  if (!view.running) {
    DrawRectangle(dc, WHITE_PEN, WHITE_BRUSH, kBarRight);
  } else {
    DrawRectangle(dc, NULL_PEN, BLACK_BRUSH, ProgressFillRight(view.shown, view.total));
    DrawRectangle(dc, BLACK_PEN, NULL_BRUSH, kBarRight);
  }
  EndPaint(window_, &paint);
}

void MainWindow::SetViewEnabled(bool enabled) {
  EnableMenuItem(GetMenu(window_), cmd::kView, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(window_);
}

void MainWindow::ShowTitle(std::string_view title) {
  SetWindowTextA(window_, std::string(title).c_str());
}

void MainWindow::AddProgramMenuItems() {
  const HMENU file = GetSubMenu(GetMenu(window_), 0);
  UINT position = static_cast<UINT>(FileMenuProgramItemsPosition());
  for (const MenuItemTemplate& item : kFileMenuProgramItems) {
    if (item.kind == MenuItemKind::Separator) {
      InsertMenuA(file, position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    } else {
      InsertMenuA(file, position, MF_BYPOSITION | MF_STRING | (item.grayedAtStart ? MF_GRAYED : 0),
                  static_cast<UINT_PTR>(item.commandId), std::string(item.text).c_str());
    }
    ++position;
  }
  DrawMenuBar(window_);
}

void MainWindow::ShowShortcutKeys() {
  const HMENU bar = GetMenu(window_);
  for (int position = 0; position < GetMenuItemCount(bar); ++position) {
    const HMENU popup = GetSubMenu(bar, position);
    if (popup == nullptr) {
      continue;
    }
    for (const ShortcutEntry& shortcut : kMainShortcuts) {
      const UINT id = static_cast<UINT>(shortcut.commandId);
      char text[128] = {};
      if (GetMenuStringA(popup, id, text, sizeof text, MF_BYCOMMAND) <= 0) {
        continue;
      }
      std::string shown = std::string(text) + "\t" + ShortcutText(shortcut);
      MENUITEMINFOA item{};
      item.cbSize = sizeof item;
      item.fMask = MIIM_STRING;
      item.dwTypeData = shown.data();
      SetMenuItemInfoA(popup, id, FALSE, &item);
    }
  }
  DrawMenuBar(window_);
}

void MainWindow::RequestRepaint(bool eraseBackground) {
  InvalidateRect(window_, nullptr, eraseBackground ? TRUE : FALSE);
  const std::string value =
      ReadProgressText(callbacks_.progress ? callbacks_.progress() : ProgressView{});
  const std::string label =
      std::string(kReadProgressName) + (value.empty() ? std::string() : ": " + value);
  char shown[64] = {};
  GetDlgItemTextA(window_, kProgressLabelId, shown, sizeof shown);
  if (label != shown) {
    SetDlgItemTextA(window_, kProgressLabelId, label.c_str());
  }
}

void MainWindow::Tick(int timerId) {
  if (callbacks_.timerTick && timers_.count(timerId) != 0) {
    callbacks_.timerTick(timerId);
  }
}

void MainWindow::StartTimer(int timerId, int periodMs) {
  SetTimer(window_, static_cast<UINT_PTR>(timerId), static_cast<UINT>(periodMs), nullptr);
  timers_.insert(timerId);
  if (periodMs < USER_TIMER_MINIMUM) {
    fineTicker_.Start(window_, kFineTickMessage, timerId, periodMs);
  }
}

bool MainWindow::KillTimer(int timerId) {
  if (timers_.erase(timerId) == 0) {
    return false;
  }
  ::KillTimer(window_, static_cast<UINT_PTR>(timerId));
  if (fineTicker_.Running() && fineTicker_.TimerId() == timerId) {
    fineTicker_.Stop();
  }
  return true;
}

void MainWindow::StopAllTimers() {
  for (const int timerId : timers_) {
    ::KillTimer(window_, static_cast<UINT_PTR>(timerId));
  }
  timers_.clear();
  fineTicker_.Stop();
}

}  // namespace klxr::win32
