// The Windows program's resource script (.rc), written from the tables in resources/: menu and
// accelerator table 214, the dialog templates in dialog units, the string table, icon 135, bitmap
// 216, the version information and the manifest. The script is generated at build time, so that
// the Win32 program and the Qt program read one source of ids, texts and geometry. Standard C++
// only: the generator runs on the build machine.
#pragma once

#include <string>
#include <string_view>

#include "resources/dialog_templates.h"

namespace klxr {

// The files the script names (paths as the resource compiler reads them) and the version.
struct ResourceScriptInputs {
  std::string iconFile;      // icon 135
  std::string pictureFile;   // bitmap 216
  std::string manifestFile;  // the application manifest
  int versionMajor = 0;
  int versionMinor = 0;
};

// A text as a resource-script string literal: in double quotes, a quote doubled, a backslash, a
// line break, a tab and every byte outside printable ASCII written as an escape.
std::string QuotedText(std::string_view text);

// The window styles of a dialog's frame and of a control, as the script writes them.
std::string DialogStyleText(DialogFrame frame);
std::string ControlStyleText(const ControlTemplate& control);
// The window class of a control: "Button", "ListBox", "Static" or "Edit".
std::string_view ControlClassName(ControlKind kind);

// One part of the script each.
std::string MenuScript();
std::string AcceleratorScript();
// The shortcuts' accelerator table (kShortcutTableId): Ctrl and a letter key for each.
std::string ShortcutScript();
std::string DialogScript(const DialogTemplate& dialog);
std::string StringTableScript();
std::string VersionScript(int major, int minor);

// The whole script.
std::string ResourceScript(const ResourceScriptInputs& inputs);

}  // namespace klxr
