#include "resources/dialog_templates.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <utility>

namespace klxr {
namespace {

struct TemplateShape {
  int id;
  std::size_t controls;
  std::size_t tabStops;
};

TEST(DialogTemplates, EveryTemplateIsFoundAndHoldsItsControlsInsideItsClientArea) {
  constexpr TemplateShape kShapes[] = {{dlg::kFileChooser, 6, 5},
                                       {dlg::kDeviceList, 4, 1},
                                       {dlg::kLogViewer, 21, 4},
                                       {dlg::kAbout, 2, 0}};
  for (const TemplateShape& shape : kShapes) {
    const DialogTemplate* dialog = FindDialogTemplate(shape.id);
    ASSERT_NE(dialog, nullptr) << shape.id;
    EXPECT_EQ(dialog->controls.size(), shape.controls) << shape.id;
    std::set<int> ids;
    std::size_t tabStops = 0;
    for (const ControlTemplate& control : dialog->controls) {
      EXPECT_LE(control.x + control.width, dialog->width) << shape.id << " " << control.text;
      EXPECT_LE(control.y + control.height, dialog->height) << shape.id << " " << control.text;
      if (control.id != ctl::kStatic) {
        EXPECT_TRUE(ids.insert(control.id).second) << "id used twice: " << control.id;
        EXPECT_EQ(FindControlTemplate(*dialog, control.id), &control);
      }
      tabStops += HasStyle(control.styles, ControlStyle::TabStop) ? 1 : 0;
    }
    EXPECT_EQ(tabStops, shape.tabStops) << shape.id;
  }
  EXPECT_EQ(FindDialogTemplate(999), nullptr);
}

TEST(DialogTemplates, ViewerHeadingsStandOverTheirTabPositions) {
  // Field k starts at tab position k (field 0 at the list's left edge), and its heading stands
  // over it: both count quarters of the dialog font's average character width.
  const DialogTemplate& viewer = LogViewerTemplate();
  const ControlTemplate* list = FindControlTemplate(viewer, ctl::kViewerList);
  ASSERT_NE(list, nullptr);
  const std::pair<std::string_view, std::size_t> kHeadings[] = {
      {"Seq Num", 0},   {"Frequency", 1}, {"Channel", 2},  {"Spec", 3},     {"Mux", 4},
      {"Status", 5},    {"Quality", 6},   {"Vid. Pwr", 7}, {"Aud. Pwr", 9}, {"Mode", 11},
      {"PLP Mode", 12}, {"Dig. Pwr", 13}, {"MER/CN", 15},  {"BER", 17}};
  for (const auto& [text, field] : kHeadings) {
    const ControlTemplate* heading = nullptr;
    for (const ControlTemplate& control : viewer.controls) {
      heading = control.text == text ? &control : heading;
    }
    ASSERT_NE(heading, nullptr) << text;
    const int fieldStart = list->x + (field == 0 ? 0 : LogTabStops[field - 1]);
    EXPECT_NEAR(heading->x, fieldStart, 6) << text;
  }
  for (std::size_t i = 1; i < LogTabStops.size(); ++i) {
    EXPECT_LT(LogTabStops[i - 1], LogTabStops[i]);
  }
}

}  // namespace
}  // namespace klxr
