#include "desktop/win32/resource_script.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace klxr {
namespace {

TEST(ResourceScriptTest, QuotesTextsAsTheResourceCompilerReadsThem) {
  const struct {
    std::string_view text;
    std::string quoted;
  } kCases[] = {
      {"", "\"\""},
      {"E&xit", "\"E&xit\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"C:\\logs", "\"C:\\\\logs\""},
      {"one\ntwo\tthree", "\"one\\ntwo\\tthree\""},
      {"\xb5V", "\"\\265V\""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(QuotedText(c.text), c.quoted) << c.text;
  }
}

// Lines the script must hold, written out by hand from the program's tables.
TEST(ResourceScriptTest, HoldsTheMenuAcceleratorsStringsAndFiles) {
  const std::string script = ResourceScript({"icon.ico", "picture.bmp", "app.manifest", 1, 14});
  const std::string_view kLines[] = {
      "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_UK\n",
      "1 24 \"app.manifest\"\n",
      "135 ICON \"icon.ico\"\n",
      "216 BITMAP \"picture.bmp\"\n",
      "214 MENU\nBEGIN\n  POPUP \"&File\"\n  BEGIN\n    MENUITEM \"&Load\", 32780\n",
      "    MENUITEM \"&Erase Log\", 32782\n    MENUITEM SEPARATOR\n    MENUITEM \"E&xit\", 32771\n",
      "  MENUITEM \"&Read\", 32779\n  MENUITEM \"&View\", 32807, GRAYED\n  POPUP \"&Help\"\n",
      "    MENUITEM \"&About ...\", 104\n    MENUITEM \"Version\", 32801\n",
      "214 ACCELERATORS\nBEGIN\n  \"?\", 104, ASCII, ALT\n  \"/\", 104, ASCII, ALT\nEND\n",
      "110 DIALOGEX 22, 17, 150, 124\nSTYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU\n"
      "CAPTION \"About\"\nFONT 8, \"System\"\n",
      "  CONTROL \"\", 1096, \"Static\", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 9, 6, 118, "
      "8\n",
      "158 DIALOGEX 0, 0, 239, 157\nSTYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION\n",
      "1092, \"Static\", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_SUNKEN, 86, 136, 10, 10\n",
      "1067, \"Button\", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP, 13, "
      "214,",
      "1098, \"ListBox\", WS_CHILD | WS_VISIBLE | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | "
      "WS_BORDER",
      "  167, \"KL-XR Meter - Log\"\n",
      "  224, \"Please confirm that you wish to erase the meter log data?\\n(This may take a few "
      "seconds)\"\n",
      "FILEVERSION 1,14,0,0\n",
      "VALUE \"FileVersion\", \"1.14\"\n",
  };
  for (const std::string_view line : kLines) {
    EXPECT_NE(script.find(line), std::string::npos) << line;
  }
}

struct ScriptControl {
  int id;
  int x, y, width, height;
};

// The controls of one dialog as the script lists them: each CONTROL line's id and its last four
// numbers.
std::vector<ScriptControl> ControlsInScript(const std::string& script, int dialogId) {
  std::istringstream lines(script);
  std::string line;
  const std::string header = std::to_string(dialogId) + " DIALOGEX ";
  while (std::getline(lines, line) && line.rfind(header, 0) != 0) {
  }
  std::vector<ScriptControl> controls;
  while (std::getline(lines, line) && line != "END") {
    if (line.rfind("  CONTROL ", 0) != 0) {
      continue;
    }
    // CONTROL "text", id, "class", styles, x, y, width, height
    std::vector<std::string> fields;
    for (std::size_t at = 0, next; at != std::string::npos; at = next) {
      next = line.find(", ", at);
      fields.push_back(line.substr(at, next == std::string::npos ? next : next - at));
      next = next == std::string::npos ? next : next + 2;
    }
    const std::size_t n = fields.size();
    const ScriptControl control{std::stoi(fields[1]), std::stoi(fields[n - 4]),
                                std::stoi(fields[n - 3]), std::stoi(fields[n - 2]),
                                std::stoi(fields[n - 1])};
    controls.push_back(control);
  }
  return controls;
}

TEST(ResourceScriptTest, EveryDialogListsItsControlsInTemplateOrderWithTheirRectangles) {
  const std::string script = ResourceScript({"i", "p", "m", 1, 14});
  for (const DialogTemplate* dialog :
       {&AboutTemplate(), &FileChooserTemplate(), &DeviceListTemplate(), &LogViewerTemplate()}) {
    const std::vector<ScriptControl> controls = ControlsInScript(script, dialog->id);
    ASSERT_EQ(controls.size(), dialog->controls.size()) << dialog->id;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const ControlTemplate& expected = dialog->controls[i];
      SCOPED_TRACE(std::to_string(dialog->id) + " control " + std::to_string(i));
      EXPECT_EQ(controls[i].id, expected.id);
      EXPECT_EQ(controls[i].x, expected.x);
      EXPECT_EQ(controls[i].y, expected.y);
      EXPECT_EQ(controls[i].width, expected.width);
      EXPECT_EQ(controls[i].height, expected.height);
    }
  }
}

// The shortcuts' table beside table 214: Ctrl with each letter key, by its virtual key code.
TEST(ResourceScriptTest, HoldsTheShortcutsAsASecondAcceleratorTable) {
  EXPECT_EQ(ShortcutScript(),
            "215 ACCELERATORS\nBEGIN\n"
            "  \"O\", 32780, VIRTKEY, CONTROL\n  \"S\", 32784, VIRTKEY, CONTROL\n"
            "  \"E\", 32806, VIRTKEY, CONTROL\n  \"R\", 32779, VIRTKEY, CONTROL\n"
            "  \"Q\", 32771, VIRTKEY, CONTROL\nEND\n");
  const std::string script = ResourceScript({"icon.ico", "picture.bmp", "app.manifest", 1, 14});
  EXPECT_NE(script.find(ShortcutScript()), std::string::npos);
}

}  // namespace
}  // namespace klxr
