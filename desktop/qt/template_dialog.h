// Turns a dialog template into a dialog: the frame, the font, the client area in dialog units, and
// one widget per control, in template order (which is the Tab order). Each widget carries its
// control id, so that code and tests find it with FindControl. Buttons and check boxes report
// their clicks as commands, the way the dialogs of the program expect them.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "desktop/qt/dialog_units.h"
#include "resources/dialog_templates.h"

namespace klxr {

// Makes the widget that stands for a control (a child of parent), or returns nullptr to let the
// builder make its standard widget for the control's kind. The builder gives every widget its
// geometry, id and place in the Tab order, whoever made it.
using ControlFactory = std::function<QWidget*(const ControlTemplate& control, QWidget* parent)>;

// The dynamic properties every control widget carries: its control id and its template position.
inline constexpr char kControlIdProperty[] = "controlId";
inline constexpr char kControlIndexProperty[] = "controlIndex";

// The object name of a control's widget: "control-<id>"; static texts without an id are named
// "static-<template position>".
QString ControlObjectName(int controlId);

class TemplateDialog : public QDialog {
  Q_OBJECT

 public:
  // Builds the dialog, owned by owner (may be null), and places it at the template's position
  // relative to the owner's client area.
  TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* owner,
                 const ControlFactory& factory = {});

  const DialogTemplate& Template() const { return template_; }
  DialogBaseUnits BaseUnits() const { return baseUnits_; }
  // The widgets of the controls, in template order.
  const std::vector<QWidget*>& Controls() const { return controls_; }
  // A rectangle in dialog units of this dialog, in pixels.
  QRect ToPixels(int x, int y, int width, int height) const;

  // A command from a control: a click on a button or a check box, or OK (1) and Cancel (2). By
  // default OK and Cancel end the dialog with their id, and every other command does nothing.
  virtual void OnCommand(int controlId);

  // Enter on the default button and Escape or the close box arrive here, as OK and Cancel.
  void accept() override;
  void reject() override;

 private:
  QWidget* MakeControl(const ControlTemplate& control, const ControlFactory& factory);
  void SetUpControl(QWidget& widget, const ControlTemplate& control, int index);
  void ChainTabOrder();

  DialogTemplate template_;
  DialogBaseUnits baseUnits_;
  std::vector<QWidget*> controls_;
};

// The widget of the control with the given id, if it is a T; otherwise nullptr.
template <typename T>
T* FindControl(const QWidget& dialog, int controlId) {
  return dialog.findChild<T*>(ControlObjectName(controlId), Qt::FindDirectChildrenOnly);
}

}  // namespace klxr
