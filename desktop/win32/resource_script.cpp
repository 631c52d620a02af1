#include "desktop/win32/resource_script.h"

#include <cstdio>

#include "resources/menu_table.h"
#include "resources/string_table.h"

namespace klxr {
namespace {

constexpr int kIconId = 135;
constexpr int kPictureId = 216;

// Joins the names of the flags that are set with " | ".
class StyleList {
 public:
  void Add(bool set, std::string_view name) {
    if (!set) {
      return;
    }
    if (!text_.empty()) {
      text_ += " | ";
    }
    text_ += name;
  }
  std::string Text() const { return text_.empty() ? "0" : text_; }

 private:
  std::string text_;
};

std::string MenuItemLine(const MenuItemTemplate& item) {
  if (item.kind == MenuItemKind::Separator) {
    return "    MENUITEM SEPARATOR\n";
  }
  std::string line =
      "    MENUITEM " + QuotedText(item.text) + ", " + std::to_string(item.commandId);
  return line + (item.grayedAtStart ? ", GRAYED\n" : "\n");
}

std::string MenuBarLines(const MenuBarEntry& entry) {
  if (entry.kind == MenuItemKind::Command) {
    std::string line =
        "  MENUITEM " + QuotedText(entry.text) + ", " + std::to_string(entry.commandId);
    return line + (entry.grayedAtStart ? ", GRAYED\n" : "\n");
  }
  std::string lines = "  POPUP " + QuotedText(entry.text) + "\n  BEGIN\n";
  for (const MenuItemTemplate& item : entry.items) {
    lines += MenuItemLine(item);
  }
  return lines + "  END\n";
}

std::string ControlLine(const ControlTemplate& control) {
  char geometry[64];
  std::snprintf(geometry, sizeof geometry, ", %d, %d, %d, %d\n", control.x, control.y,
                control.width, control.height);
  return "  CONTROL " + QuotedText(control.text) + ", " + std::to_string(control.id) + ", " +
         QuotedText(ControlClassName(control.kind)) + ", " + ControlStyleText(control) + geometry;
}

std::string KindStyle(const ControlTemplate& control) {
  const bool defaultButton = HasStyle(control.styles, ControlStyle::DefaultButton);
  switch (control.kind) {
    case ControlKind::PushButton:
      return defaultButton ? "BS_DEFPUSHBUTTON" : "BS_PUSHBUTTON";
    case ControlKind::CheckBox:
      return "BS_AUTOCHECKBOX";
    case ControlKind::Label:
      return HasStyle(control.styles, ControlStyle::Centred) ? "SS_CENTER" : "SS_LEFT";
    case ControlKind::ListBox:
    case ControlKind::EditField:
      break;
  }
  return {};
}

}  // namespace

std::string QuotedText(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"') {
      quoted += "\"\"";
    } else if (c == '\\') {
      quoted += "\\\\";
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (byte < 0x20 || byte >= 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string_view ControlClassName(ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
      return "Button";
    case ControlKind::ListBox:
      return "ListBox";
    case ControlKind::Label:
      return "Static";
    case ControlKind::EditField:
      return "Edit";
  }
  return "Static";
}

std::string DialogStyleText(DialogFrame frame) {
  StyleList styles;
  styles.Add(HasFrame(frame, DialogFrame::ModalFrame), "DS_MODALFRAME");
  styles.Add(HasFrame(frame, DialogFrame::Popup), "WS_POPUP");
  styles.Add(HasFrame(frame, DialogFrame::TitleBar), "WS_CAPTION");
  styles.Add(HasFrame(frame, DialogFrame::SystemMenu), "WS_SYSMENU");
  return styles.Text();
}

std::string ControlStyleText(const ControlTemplate& control) {
  const auto has = [&control](ControlStyle flag) { return HasStyle(control.styles, flag); };
  const bool list = control.kind == ControlKind::ListBox;
  const bool label = control.kind == ControlKind::Label;
  const bool button = control.kind == ControlKind::PushButton;
  StyleList styles;
  styles.Add(true, "WS_CHILD | WS_VISIBLE");
  const std::string kindStyle = KindStyle(control);
  styles.Add(!kindStyle.empty(), kindStyle);
  styles.Add(list && has(ControlStyle::Sorted), "LBS_SORT");
  styles.Add(list && has(ControlStyle::Notify), "LBS_NOTIFY");
  styles.Add(list && has(ControlStyle::UseTabStops), "LBS_USETABSTOPS");
  styles.Add(list && has(ControlStyle::NoIntegralHeight), "LBS_NOINTEGRALHEIGHT");
  styles.Add(!list && !label && !button && has(ControlStyle::Notify), "BS_NOTIFY");
  styles.Add(label && has(ControlStyle::Sunken), "SS_SUNKEN");
  styles.Add(label && has(ControlStyle::VerticallyCentred), "SS_CENTERIMAGE");
  styles.Add(label && has(ControlStyle::NoMnemonic), "SS_NOPREFIX");
  styles.Add(has(ControlStyle::AutoHorizontalScroll), "ES_AUTOHSCROLL");
  styles.Add(has(ControlStyle::Border), "WS_BORDER");
  styles.Add(has(ControlStyle::VerticalScroll), "WS_VSCROLL");
  styles.Add(has(ControlStyle::TabStop), "WS_TABSTOP");
  return styles.Text();
}

std::string MenuScript() {
  std::string script = std::to_string(kMainMenuId) + " MENU\nBEGIN\n";
  for (const MenuBarEntry& entry : kMainMenu) {
    script += MenuBarLines(entry);
  }
  return script + "END\n";
}

std::string AcceleratorScript() {
  std::string script = std::to_string(kAcceleratorTableId) + " ACCELERATORS\nBEGIN\n";
  for (const AcceleratorEntry& entry : kMainAccelerators) {
    script += "  " + QuotedText(std::string_view(&entry.character, 1)) + ", " +
              std::to_string(entry.commandId) + ", ASCII" + (entry.alt ? ", ALT\n" : "\n");
  }
  return script + "END\n";
}

std::string ShortcutScript() {
  std::string script = std::to_string(kShortcutTableId) + " ACCELERATORS\nBEGIN\n";
  for (const ShortcutEntry& entry : kMainShortcuts) {
    script += "  " + QuotedText(std::string_view(&entry.letter, 1)) + ", " +
              std::to_string(entry.commandId) + ", VIRTKEY, CONTROL\n";
  }
  return script + "END\n";
}

std::string DialogScript(const DialogTemplate& dialog) {
  char header[96];
  std::snprintf(header, sizeof header, "%d DIALOGEX %d, %d, %d, %d\n", dialog.id, dialog.x,
                dialog.y, dialog.width, dialog.height);
  std::string script = header;
  script += "STYLE " + DialogStyleText(dialog.frame) + "\n";
  script += "CAPTION " + QuotedText(dialog.title) + "\n";
  script += "FONT " + std::to_string(dialog.fontPointSize) + ", " + QuotedText(dialog.fontName) +
            "\nBEGIN\n";
  for (const ControlTemplate& control : dialog.controls) {
    script += ControlLine(control);
  }
  return script + "END\n";
}

std::string StringTableScript() {
  std::string script = "STRINGTABLE\nBEGIN\n";
  for (const StringEntry& entry : StringTableEntries()) {
    script += "  " + std::to_string(entry.id) + ", " + QuotedText(entry.text) + "\n";
  }
  return script + "END\n";
}

std::string VersionScript(int major, int minor) {
  const std::string numbers = std::to_string(major) + "," + std::to_string(minor) + ",0,0";
  char dotted[32];
  std::snprintf(dotted, sizeof dotted, "%d.%02d", major, minor);
  const std::string caption = QuotedText(LoadString(kCaptionStringId));
  return "1 VERSIONINFO\nFILEVERSION " + numbers + "\nPRODUCTVERSION " + numbers +
         "\nFILEOS VOS_NT_WINDOWS32\nFILETYPE VFT_APP\nBEGIN\n"
         "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"080904B0\"\n    BEGIN\n"
         "      VALUE \"FileDescription\", " +
         caption + "\n      VALUE \"ProductName\", " + caption +
         "\n      VALUE \"FileVersion\", \"" + dotted + "\"\n      VALUE \"ProductVersion\", \"" +
         dotted +
         "\"\n      VALUE \"OriginalFilename\", \"klxr-log.exe\"\n    END\n  END\n"
         "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", 0x0809, 1200\n  END\n"
         "END\n";
}

std::string ResourceScript(const ResourceScriptInputs& inputs) {
  std::string script =
      "// Generated at build time from the tables in resources/; edit those, not this file.\n"
      "#include <windows.h>\n\nLANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_UK\n\n";
  script += "1 24 " + QuotedText(inputs.manifestFile) + "\n";
  script += std::to_string(kIconId) + " ICON " + QuotedText(inputs.iconFile) + "\n";
  script += std::to_string(kPictureId) + " BITMAP " + QuotedText(inputs.pictureFile) + "\n\n";
  script += MenuScript() + "\n" + AcceleratorScript() + "\n" + ShortcutScript() + "\n";
  for (const int id : {dlg::kAbout, dlg::kFileChooser, dlg::kDeviceList, dlg::kLogViewer}) {
    script += DialogScript(*FindDialogTemplate(id)) + "\n";
  }
  return script + StringTableScript() + "\n" +
         VersionScript(inputs.versionMajor, inputs.versionMinor);
}

}  // namespace klxr
