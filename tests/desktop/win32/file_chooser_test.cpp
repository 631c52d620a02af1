// The chooser built from its resource and run modally, worked through its own controls from a
// timer while its modal loop runs: the listing of a folder made for the test (its .tlg files and
// sub-folder, not its other files), a typed name given the default extension in save mode, a
// double-click into the sub-folder and on a file, "Show All" both ways, and Cancel keeping the
// folder shown last.
#include "desktop/win32/file_chooser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "resources/dialog_templates.h"

namespace klxr::win32 {
namespace {

class AnsweringBoxes : public MessageBoxes {
 public:
  void Show(int index, std::string_view, BoxKind) override { shown.push_back(index); }
  Answer Ask(int index, std::string_view) override {
    shown.push_back(index);
    return Answer::Yes;
  }
  Answer AskDefaultNo(int index, std::string_view text) override { return Ask(index, text); }
  std::vector<int> shown;
};

std::string TextOf(HWND control) {
  char text[1024] = {};
  GetWindowTextA(control, text, sizeof text);
  return text;
}

std::vector<std::string> Entries(HWND chooser) {
  const HWND list = GetDlgItem(chooser, ctl::kChooserList);
  std::vector<std::string> entries;
  for (LRESULT i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
    char entry[MAX_PATH] = {};
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
    entries.emplace_back(entry);
  }
  return entries;
}

// A double-click on the entry, as the list reports it after selecting it.
void DoubleClick(HWND chooser, const std::string& entry) {
  const HWND list = GetDlgItem(chooser, ctl::kChooserList);
  const LRESULT row = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(entry.c_str()));
  ASSERT_NE(row, LB_ERR) << entry;
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(ctl::kChooserList, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list));
}

void Click(HWND chooser, int button) {
  SendMessageA(GetDlgItem(chooser, button), BM_CLICK, 0, 0);
}

// The messages the chooser has posted to itself, handled as its modal loop would.
void HandlePosted(HWND chooser) {
  MSG message;
  while (PeekMessageA(&message, chooser, 0, 0, PM_REMOVE)) {
    DispatchMessageA(&message);
  }
}

std::vector<std::string> Files(HWND chooser) {
  std::vector<std::string> files;
  for (const std::string& entry : Entries(chooser)) {
    if (entry.back() != ']') {
      files.push_back(entry);
    }
  }
  return files;
}

// What the user does once the chooser is open; it runs from a timer of the modal loop.
std::function<void(HWND)> userActions;
bool actionsRan = false;

void CALLBACK ActOnChooser(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND chooser = FindWindowA("#32770", "Enter Filename");
  if (chooser == nullptr) {
    return;
  }
  KillTimer(nullptr, timer);
  actionsRan = true;
  userActions(chooser);
  // Whatever the actions left open ends here, as a cancel (an ended chooser is hidden at once).
  if (IsWindowVisible(chooser)) {
    Click(chooser, ctl::kCancel);
  }
}

class FileChooserTest : public testing::Test {
 protected:
  // No "." in the folder's path: a typed name without one gets the default extension.
  void SetUp() override {
    GetCurrentDirectoryA(sizeof before_, before_);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string made = std::string(temp) + "chooser test " +
                             std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount());
    ASSERT_TRUE(CreateDirectoryA(made.c_str(), nullptr));
    char longName[MAX_PATH];
    GetLongPathNameA(made.c_str(), longName, sizeof longName);
    folder_ = longName;
    ASSERT_TRUE(CreateDirectoryA((folder_ + "\\sub").c_str(), nullptr));
    for (const char* name : {"a.tlg", "LOG2.TLG", "x.csv", "a.tlg.bak", "sub\\inner.tlg"}) {
      const HANDLE file = CreateFileA((folder_ + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
      CloseHandle(file);
    }
  }

  void TearDown() override {
    SetCurrentDirectoryA(before_);
    for (const char* name :
         {"a.tlg", "LOG2.TLG", "x.csv", "a.tlg.bak", "sub\\inner.tlg", "my report.tlg"}) {
      DeleteFileA((folder_ + "\\" + name).c_str());
    }
    RemoveDirectoryA((folder_ + "\\sub").c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  char before_[MAX_PATH] = {};
  std::string folder_;
};

TEST_F(FileChooserTest, ListsWalksAndEndsThroughItsControls) {
  struct Case {
    const char* name;
    bool saveMode;
    std::function<void(HWND, const std::string& folder)> act;
    bool chosen;
    std::string chosenPath;  // below the test's folder
    std::string chooserFolder;
    std::vector<int> boxes;
  };
  const Case kCases[] = {
      {"the listing, then Cancel",
       false,
       [](HWND chooser, const std::string& folder) {
         EXPECT_EQ(TextOf(GetDlgItem(chooser, ctl::kChooserFolderLabel)), folder);
         EXPECT_EQ(TextOf(GetDlgItem(chooser, ctl::kCancel)), "Cancel");
         EXPECT_EQ(Files(chooser), (std::vector<std::string>{"a.tlg", "LOG2.TLG"}));
         const std::vector<std::string> entries = Entries(chooser);
         EXPECT_NE(std::find(entries.begin(), entries.end(), "[sub]"), entries.end());
         EXPECT_NE(std::find(entries.begin(), entries.end(), "[..]"), entries.end());
         Click(chooser, ctl::kCancel);
       },
       false,
       "",
       "",
       {}},
      {"Show All ticked lists every file, unticked filters again",
       false,
       [](HWND chooser, const std::string&) {
         const std::vector<std::string> all{"a.tlg", "a.tlg.bak", "LOG2.TLG", "x.csv"};
         for (const auto& files : {all, std::vector<std::string>{"a.tlg", "LOG2.TLG"}}) {
           Click(chooser, ctl::kChooserShowAll);
           HandlePosted(chooser);
           EXPECT_EQ(Files(chooser), files);
         }
         Click(chooser, ctl::kCancel);
       },
       false,
       "",
       "",
       {}},
      {"a typed name with a space, save mode",
       true,
       [](HWND chooser, const std::string&) {
         SetDlgItemTextA(chooser, ctl::kChooserNameField, "my report");
         Click(chooser, ctl::kOk);
       },
       true,
       "\\my report.tlg",
       "",
       {}},
      {"Enter typed in the name field, load mode",
       false,
       [](HWND chooser, const std::string&) {
         const HWND name = GetDlgItem(chooser, ctl::kChooserNameField);
         SetWindowTextA(name, "a.tlg");
         SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(ctl::kChooserNameField, EN_MAXTEXT),
                      reinterpret_cast<LPARAM>(name));
       },
       true,
       "\\a.tlg",
       "",
       {}},
      {"double-click into the sub-folder, then Cancel",
       false,
       [](HWND chooser, const std::string& folder) {
         DoubleClick(chooser, "[sub]");
         EXPECT_EQ(TextOf(GetDlgItem(chooser, ctl::kChooserFolderLabel)), folder + "\\sub");
         EXPECT_EQ(Entries(chooser).back(), "inner.tlg");
         Click(chooser, ctl::kCancel);
       },
       false,
       "",
       "\\sub",
       {}},
      {"double-click on an existing file, save mode",
       true,
       [](HWND chooser, const std::string&) { DoubleClick(chooser, "LOG2.TLG"); },
       true,
       "\\LOG2.TLG",
       "",
       {msg::kConfirmOverwrite}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetCurrentDirectoryA(before_);
    ChooserRequest request;
    request.StartFolder = request.ChooserFolder = folder_;
    request.DefaultExtension = ".tlg";
    request.ExtensionFilter = ".tlg;";
    request.SaveMode = c.saveMode;
    AnsweringBoxes boxes;
    const std::string folder = folder_;
    userActions = [&c, folder](HWND chooser) { c.act(chooser, folder); };
    actionsRan = false;
    SetTimer(nullptr, 0, 10, ActOnChooser);
    const bool chosen = RunFileChooserDialog(GetModuleHandleA(nullptr), nullptr, request, boxes);
    ASSERT_TRUE(actionsRan);
    EXPECT_EQ(chosen, c.chosen);
    EXPECT_EQ(request.ChosenPath, c.chosen ? folder_ + c.chosenPath : "");
    EXPECT_EQ(request.ChooserFolder, folder_ + c.chooserFolder);
    EXPECT_EQ(boxes.shown, c.boxes);
  }
}

TEST(ChooserPlaceTest, BesideTheOwnerWhereTheScreenHasRoom) {
  const RECT chooser{10, 20, 310, 520};  // 300 wide
  const struct {
    RECT owner;
    int screenWidth;
    POINT place;
  } kCases[] = {
      {{100, 50, 600, 450}, 900, {600, 50}},  // room on the right, just
      {{400, 50, 700, 450}, 900, {100, 50}},  // none on the right: to the left
      {{200, 50, 700, 450}, 900, {10, 20}},   // room on neither side: stays
  };
  for (const auto& c : kCases) {
    const POINT place = ChooserPlace(c.owner, chooser, c.screenWidth);
    EXPECT_EQ(place.x, c.place.x) << c.owner.left;
    EXPECT_EQ(place.y, c.place.y) << c.owner.left;
  }
}

}  // namespace
}  // namespace klxr::win32
