// klxr-log.exe: the desktop program on Windows. Start-up: the caption from the string table, the
// main window shown, accelerator table 214, the driver library loaded (the file named by
// KLXR_D2XX_LIBRARY, else ftd2xx.dll as Windows finds DLLs), the shared ComAccess; then the message
// loop, accelerators first, until the window is destroyed. Without a driver the program says so
// and ends.
#include <windows.h>

#include <memory>
#include <new>
#include <string>

#include "desktop/win32/about_box.h"
#include "desktop/win32/main_window.h"
#include "desktop/win32/win32_message_boxes.h"
#include "link/com_access.h"
#include "link/driver_library.h"
#include "link/driver_messages.h"
#include "resources/command_ids.h"
#include "resources/menu_table.h"
#include "resources/message_catalogue.h"
#include "resources/string_table.h"

namespace {

// AppCaption and AppClassName hold at most 99 characters.
constexpr int kCaptionCapacity = 100;

std::string LoadCaption(HINSTANCE instance) {
  char caption[kCaptionCapacity] = "Quorvel KLXR";
  LoadStringA(instance, klxr::kCaptionStringId, caption, kCaptionCapacity);
  return caption;
}

// The commands this shell runs itself so far: Exit and About.
void RunCommand(int commandId, HINSTANCE instance, HWND window) {
  switch (commandId) {
    case klxr::cmd::kExit:
      DestroyWindow(window);
      break;
    case klxr::cmd::kAbout:
      klxr::win32::RunAboutBox(instance, window);
      break;
    default:
      break;
  }
}

int RunMessageLoop(HACCEL accelerators) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorA(message.hwnd, accelerators, &message) == 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int showCommand) {
  const std::string caption = LoadCaption(instance);
  klxr::win32::Win32MessageBoxes boxes(caption);
  klxr::win32::MainWindow::RegisterWindowClass(instance, caption);
  HWND handle = nullptr;
  klxr::win32::MainWindowCallbacks callbacks;
  callbacks.command = [instance, &handle](int commandId) {
    RunCommand(commandId, instance, handle);
  };
  const std::unique_ptr<klxr::win32::MainWindow> window =
      klxr::win32::MainWindow::Create(instance, caption, caption, std::move(callbacks));
  if (window == nullptr) {
    return 0;
  }
  handle = window->Handle();
  ShowWindow(handle, showCommand);
  UpdateWindow(handle);
  const HACCEL accelerators =
      LoadAcceleratorsA(instance, MAKEINTRESOURCEA(klxr::kAcceleratorTableId));

  klxr::DriverLoadDiagnosis diagnosis;
  const std::unique_ptr<klxr::DriverLibrary> driver = klxr::DriverLibrary::Load(&diagnosis);
  if (driver == nullptr) {
    klxr::ShowMessage(boxes, klxr::msg::kCantLoadUsbDriver, klxr::BoxKind::Information,
                      klxr::LibraryProblemText(diagnosis));
    return 0;
  }
  std::unique_ptr<klxr::ComAccess> comAccess(new (std::nothrow)
                                                 klxr::ComAccess(driver->Functions()));
  if (comAccess == nullptr) {
    klxr::ShowMessage(boxes, klxr::msg::kNoMemoryForComAccess, klxr::BoxKind::Error);
    return 0;
  }
  const int exitCode = RunMessageLoop(accelerators);
  comAccess.reset();
  return exitCode;
}
