#pragma once
// Private to the runtime: typed access to a control's bound widget.
#include <QWidget>

#include "forms/forms.h"
#include "platform/error.h"

namespace forms {

template <class W>
W* Control::as() const {
  auto* typed = qobject_cast<W*>(widget());
  if (!typed) {
    throw platform::RuntimeError(platform::kInvalidCall,
                                 "Control " + name() + " is not a " + W::staticMetaObject.className());
  }
  return typed;
}

// "Form1.Check1_Click": where a handler's error is reported.
inline std::string eventName(const Control& control, const char* event) {
  return control.form().name() + "." + control.name() + "_" + event;
}

// Error 380 "Invalid property value" and 381 "Invalid property array index".
[[noreturn]] void raiseInvalidValue();
[[noreturn]] void raiseInvalidIndex();

// Sets the value of a ranged widget (bar, slider); raises 380 outside its range.
template <class W>
void setRangedValue(W* widget, int value) {
  if (value < widget->minimum() || value > widget->maximum()) raiseInvalidValue();
  widget->setValue(value);
}

// Refresh: paints a shown widget at once, a hidden one when it is shown.
void repaintNow(QWidget* widget);

// The classic colours of the system colour indexes (COLOR_SCROLLBAR ...).
QColor systemColor(int index);

}  // namespace forms
