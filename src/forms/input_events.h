#pragma once
// Private to the runtime: the keyboard, mouse and drop events of controls
// and windows, turned into the program's handlers.
class QKeyEvent;
class QAbstractItemView;
class QWidget;

namespace forms {

class Control;
class Form;
class ListBox;

// The key code of a key (27 Esc, 65 A ...), 0 for a key without one.
int keyCodeOf(const QKeyEvent* event);
// 1 Shift, 2 Ctrl, 4 Alt.
int shiftMaskOf(const QKeyEvent* event);

// Routes the key and mouse-move events of the control's widget (and of the
// parts that take them for it: an editable combo box's text field, a list's
// client area) to the control's handlers.
void installInputHooks(Control& control, QWidget* widget);
// Files dragged onto a list from the shell.
void installFileDrop(ListBox& list, QAbstractItemView* widget);
// A key that reached the window: runs the form's handlers; true when one swallowed it.
bool formKeyPressed(Form& form, QKeyEvent* event);

}  // namespace forms
