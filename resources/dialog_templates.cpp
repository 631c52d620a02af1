#include "resources/dialog_templates.h"

namespace klxr {
namespace {

using enum ControlKind;
using S = ControlStyle;
using F = DialogFrame;

// "Enter Filename": the program's own file chooser. The title and the Cancel text are set when it
// opens.
constexpr ControlTemplate kFileChooserControls[] = {
    {ctl::kOk, PushButton, "OK", 61, 212, 50, 14, S::DefaultButton | S::TabStop},
    {ctl::kCancel, PushButton, "Cancel", 120, 212, 50, 14, S::TabStop},
    {ctl::kChooserList, ListBox, "", 13, 33, 158, 158,
     S::Border | S::VerticalScroll | S::TabStop | S::Sorted | S::Notify},
    {ctl::kChooserFolderLabel, Label, "", 13, 14, 158, 14,
     S::Sunken | S::LeftAligned | S::VerticallyCentred},
    {ctl::kChooserNameField, EditField, "", 13, 195, 158, 13,
     S::Border | S::TabStop | S::AutoHorizontalScroll | S::EnterActsAsOk},
    {ctl::kChooserShowAll, CheckBox, "Show All", 13, 214, 42, 11, S::TabStop | S::Notify},
};

constexpr DialogTemplate kFileChooser{
    .id = dlg::kFileChooser,
    .title = "",
    .fontName = "Verdana",
    .fontPointSize = 8,
    .x = 0,
    .y = 0,
    .width = 187,
    .height = 239,
    .frame = F::Popup | F::TitleBar | F::SystemMenu | F::ModalFrame,
    .controls = kFileChooserControls,
};

// "USB Device List": the version texts of the meters attached, and their count.
constexpr ControlTemplate kDeviceListControls[] = {
    {ctl::kOk, PushButton, "OK", 167, 134, 50, 14, S::DefaultButton},
    {ctl::kDeviceList, ListBox, "", 21, 17, 196, 110,
     S::Sorted | S::Notify | S::VerticalScroll | S::Border | S::TabStop | S::NoIntegralHeight},
    {ctl::kStatic, Label, "Number of devices", 23, 136, 64, 10, S::LeftAligned},
    {ctl::kDeviceCount, Label, "0", 86, 136, 10, 10, S::Centred | S::Sunken},
};

constexpr DialogTemplate kDeviceList{
    .id = dlg::kDeviceList,
    .title = "USB Device List",
    .fontName = "MS Sans Serif",
    .fontPointSize = 8,
    .x = 0,
    .y = 0,
    .width = 239,
    .height = 157,
    .frame = F::Popup | F::TitleBar | F::ModalFrame,
    .controls = kDeviceListControls,
};

// "Log Entries": the log viewer, a tabbed list under fixed column headings.
constexpr ControlTemplate kLogViewerControls[] = {
    {ctl::kOk, PushButton, "Close", 271, 169, 50, 14, S::DefaultButton | S::TabStop},
    {ctl::kViewerList, ListBox, "", 16, 26, 598, 140,
     S::Border | S::VerticalScroll | S::TabStop | S::UseTabStops | S::NoIntegralHeight},
    {ctl::kStatic, Label, "Frequency", 57, 15, 35, 10, S::Centred},
    {ctl::kStatic, Label, "Quality", 288, 15, 25, 10, S::Centred},
    {ctl::kViewerExport, PushButton, "Export (.csv)", 19, 168, 50, 15, S::TabStop},
    {ctl::kStatic, Label, "Seq Num", 16, 15, 31, 11, S::LeftAligned},
    {ctl::kStatic, Label, "Channel", 106, 15, 29, 10, S::Centred},
    {ctl::kStatic, Label, "Spec", 152, 15, 24, 10, S::Centred},
    {ctl::kStatic, Label, "Mux", 190, 15, 24, 9, S::Centred},
    {ctl::kStatic, Label, "Status", 232, 15, 24, 10, S::Centred},
    {ctl::kStatic, Label, "Vid. Pwr", 326, 15, 33, 9, S::Centred},
    {ctl::kStatic, Label, "Aud. Pwr", 362, 15, 33, 9, S::Centred},
    {ctl::kStatic, Label, "Mode", 405, 15, 18, 11, S::Centred},
    {ctl::kStatic, Label, "MER/CN", 529, 15, 27, 10, S::LeftAligned},
    {ctl::kStatic, Label, "BER", 564, 15, 16, 10, S::LeftAligned},
    {ctl::kStatic, Label, "Dig. Pwr", 486, 15, 33, 9, S::Centred},
    {ctl::kViewerShowDbuv, CheckBox, "Show dBuV", 560, 171, 53, 10, S::TabStop},
    {ctl::kViewerVideoUnit, Label, "dBm", 329, 6, 25, 8, S::Centred},
    {ctl::kViewerAudioUnit, Label, "dBm", 366, 6, 25, 8, S::Centred},
    {ctl::kViewerDigitalUnit, Label, "dBm", 490, 6, 25, 8, S::Centred},
    {ctl::kStatic, Label, "PLP Mode", 443, 14, 34, 9, S::Centred},
};

constexpr DialogTemplate kLogViewer{
    .id = dlg::kLogViewer,
    .title = "Log Entries",
    .fontName = "Verdana",
    .fontPointSize = 8,
    .x = 0,
    .y = 0,
    .width = 633,
    .height = 190,
    .frame = F::Popup | F::TitleBar | F::SystemMenu | F::ModalFrame,
    .controls = kLogViewerControls,
};

// "About": the product line with the version; the picture is drawn below it. The title and the
// text are set when it opens.
constexpr ControlTemplate kAboutControls[] = {
    {ctl::kAboutText, Label, "", 9, 6, 118, 8, S::LeftAligned | S::NoMnemonic},
    {ctl::kOk, PushButton, "OK", 109, 14, 30, 11, S::DefaultButton},
};

constexpr DialogTemplate kAbout{
    .id = dlg::kAbout,
    .title = "About",
    .fontName = "System",
    .fontPointSize = 8,
    .x = 22,
    .y = 17,
    .width = 150,
    .height = 124,
    .frame = F::Popup | F::TitleBar | F::SystemMenu | F::ModalFrame,
    .controls = kAboutControls,
};

}  // namespace

const DialogTemplate& FileChooserTemplate() {
  return kFileChooser;
}
const DialogTemplate& DeviceListTemplate() {
  return kDeviceList;
}
const DialogTemplate& LogViewerTemplate() {
  return kLogViewer;
}
const DialogTemplate& AboutTemplate() {
  return kAbout;
}

const DialogTemplate* FindDialogTemplate(int dialogId) {
  for (const DialogTemplate* dialog : {&kFileChooser, &kDeviceList, &kLogViewer, &kAbout}) {
    if (dialog->id == dialogId) {
      return dialog;
    }
  }
  return nullptr;
}

const ControlTemplate* FindControlTemplate(const DialogTemplate& dialog, int controlId) {
  if (controlId == ctl::kStatic) {
    return nullptr;
  }
  for (const ControlTemplate& control : dialog.controls) {
    if (control.id == controlId) {
      return &control;
    }
  }
  return nullptr;
}

}  // namespace klxr
