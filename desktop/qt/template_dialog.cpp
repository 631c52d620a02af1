#include "desktop/qt/template_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "desktop/qt/eight_bit_text.h"
#include "desktop/qt/list_box.h"

namespace klxr {
namespace {

Qt::WindowFlags WindowFlagsFor(DialogFrame frame) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
  if (HasFrame(frame, DialogFrame::TitleBar)) {
    flags |= Qt::WindowTitleHint;
  }
  if (HasFrame(frame, DialogFrame::SystemMenu)) {
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  }
  return flags;
}

Qt::Alignment LabelAlignment(ControlStyle styles) {
  Qt::Alignment alignment =
      HasStyle(styles, ControlStyle::Centred) ? Qt::AlignHCenter : Qt::AlignLeft;
  alignment |= HasStyle(styles, ControlStyle::VerticallyCentred) ? Qt::AlignVCenter : Qt::AlignTop;
  return alignment;
}

QWidget* MakeLabel(const ControlTemplate& control, QWidget* parent) {
  auto* label = new QLabel(TextToQString(control.text), parent);
  // Texts are shown exactly as they are: no markup, and "&" as such.
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(LabelAlignment(control.styles));
  if (HasStyle(control.styles, ControlStyle::Sunken)) {
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  }
  return label;
}

QWidget* MakeListBox(const ControlTemplate& control, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setVerticalScrollBarPolicy(HasStyle(control.styles, ControlStyle::VerticalScroll)
                                       ? Qt::ScrollBarAsNeeded
                                       : Qt::ScrollBarAlwaysOff);
  if (!HasStyle(control.styles, ControlStyle::Border)) {
    list->setFrameShape(QFrame::NoFrame);
  }
  list->setProperty(kSortedListProperty, HasStyle(control.styles, ControlStyle::Sorted));
  return list;
}

QWidget* MakeEditField(const ControlTemplate& control, QWidget* parent) {
  // Enter typed into the field reaches the dialog, which presses its default button: OK.
  auto* field = new QLineEdit(TextToQString(control.text), parent);
  field->setFrame(HasStyle(control.styles, ControlStyle::Border));
  return field;
}

QWidget* MakePushButton(const ControlTemplate& control, QWidget* parent) {
  auto* button = new QPushButton(TextToQString(control.text), parent);
  button->setDefault(HasStyle(control.styles, ControlStyle::DefaultButton));
  return button;
}

QWidget* MakeStandardControl(const ControlTemplate& control, QWidget* parent) {
  switch (control.kind) {
    case ControlKind::PushButton:
      return MakePushButton(control, parent);
    case ControlKind::ListBox:
      return MakeListBox(control, parent);
    case ControlKind::Label:
      return MakeLabel(control, parent);
    case ControlKind::EditField:
      return MakeEditField(control, parent);
    case ControlKind::CheckBox:
      return new QCheckBox(TextToQString(control.text), parent);
  }
  return new QWidget(parent);
}

// The names assistive technology reads for the controls whose template gives them no text of their
// own and no label beside them. Buttons, boxes and labels are read by their texts.
struct ControlName {
  int id;
  const char* name;
};
constexpr ControlName kControlNames[] = {
    {ctl::kChooserList, "Files and folders"}, {ctl::kChooserNameField, "File name"},
    {ctl::kChooserFolderLabel, "Folder"},     {ctl::kDeviceList, "Devices"},
    {ctl::kDeviceCount, "Number of devices"}, {ctl::kViewerList, "Log entries"},
};

QString AccessibleNameOf(const ControlTemplate& control) {
  for (const ControlName& entry : kControlNames) {
    if (entry.id == control.id) {
      return QString::fromLatin1(entry.name);
    }
  }
  return {};
}

Qt::FocusPolicy FocusPolicyFor(const ControlTemplate& control) {
  if (HasStyle(control.styles, ControlStyle::TabStop)) {
    return Qt::StrongFocus;
  }
  return control.kind == ControlKind::Label ? Qt::NoFocus : Qt::ClickFocus;
}

}  // namespace

QString ControlObjectName(int controlId) {
  return QStringLiteral("control-%1").arg(controlId);
}

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* owner,
                               const ControlFactory& factory)
    : QDialog(owner, WindowFlagsFor(dialogTemplate.frame)), template_(dialogTemplate) {
  setFont(DialogFont(template_));
  baseUnits_ = BaseUnitsOf(font());
  setWindowTitle(TextToQString(template_.title));
  const QRect placement = ToPixels(template_.x, template_.y, template_.width, template_.height);
  setFixedSize(placement.size());

  for (const ControlTemplate& control : template_.controls) {
    QWidget* widget = MakeControl(control, factory);
    SetUpControl(*widget, control, static_cast<int>(controls_.size()));
    controls_.push_back(widget);
  }
  ChainTabOrder();

  const QPoint ownerOrigin = owner != nullptr ? owner->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
  move(ownerOrigin + placement.topLeft());
}

QRect TemplateDialog::ToPixels(int x, int y, int width, int height) const {
  return DialogUnitsToPixels(baseUnits_, x, y, width, height);
}

void TemplateDialog::OnCommand(int controlId) {
  if (controlId == ctl::kOk || controlId == ctl::kCancel) {
    done(controlId);
  }
}

void TemplateDialog::accept() {
  OnCommand(ctl::kOk);
}

void TemplateDialog::reject() {
  OnCommand(ctl::kCancel);
}

QWidget* TemplateDialog::MakeControl(const ControlTemplate& control,
                                     const ControlFactory& factory) {
  QWidget* widget = factory ? factory(control, this) : nullptr;
  if (widget == nullptr) {
    widget = MakeStandardControl(control, this);
  } else if (widget->parentWidget() != this) {
    widget->setParent(this);
  }
  return widget;
}

void TemplateDialog::SetUpControl(QWidget& widget, const ControlTemplate& control, int index) {
  widget.setObjectName(control.id == ctl::kStatic ? QStringLiteral("static-%1").arg(index)
                                                  : ControlObjectName(control.id));
  widget.setProperty(kControlIdProperty, control.id);
  widget.setProperty(kControlIndexProperty, index);
  widget.setGeometry(ToPixels(control.x, control.y, control.width, control.height));
  widget.setFocusPolicy(FocusPolicyFor(control));
  if (const QString name = AccessibleNameOf(control); !name.isEmpty()) {
    widget.setAccessibleName(name);
  }
  if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
    const int id = control.id;
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
  }
}

void TemplateDialog::ChainTabOrder() {
  QWidget* previous = nullptr;
  for (QWidget* widget : controls_) {
    if (widget->focusPolicy() == Qt::NoFocus) {
      continue;
    }
    if (previous != nullptr) {
      setTabOrder(previous, widget);
    }
    previous = widget;
  }
}

}  // namespace klxr
