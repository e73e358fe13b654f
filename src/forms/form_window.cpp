#include "forms/form_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>

#include "forms/forms.h"
#include "forms/handler_guard.h"
#include "forms/input_events.h"

namespace forms {
namespace {

// The window's own push buttons (not those of a window it holds).
QList<QPushButton*> buttonsOf(const QWidget* window) {
  QList<QPushButton*> own;
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    if (button->window() == window) own.append(button);
  }
  return own;
}

// The button whose Cancel property is set (the .ui's "cancel"): Esc presses it.
QPushButton* cancelButton(const QWidget* window) {
  for (QPushButton* button : buttonsOf(window)) {
    if (button->property("cancel").toBool()) return button;
  }
  return nullptr;
}

}  // namespace

FormWindow::FormWindow(Form& form) : QDialog(nullptr), form_(form) {
  // A plain top-level window unless the window class asks for other flags.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setSizeGripEnabled(false);
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The window goes only through the runtime's unload (which may be cancelled).
  event->ignore();
  form_.unloadWith(0);
}

void FormWindow::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) form_.windowHidden();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (formKeyPressed(form_, event)) {
    event->accept();
    return;
  }
  // Esc presses the cancel button and never closes a window by itself;
  // Enter presses the default button.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    QPushButton* cancel = cancelButton(this);
    if (cancel && cancel->isVisible() && cancel->isEnabled()) cancel->click();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void FormWindow::setVisible(bool visible) {
  bool hadDefault = false;
  for (QPushButton* button : buttonsOf(this)) hadDefault = hadDefault || button->isDefault();
  // A fixed border: the window keeps the size it is shown with, so no window
  // manager offers to maximise or resize it.
  if (visible && (windowFlags() & Qt::MSWindowsFixedSizeDialogHint)) {
    if (!testAttribute(Qt::WA_Resized)) adjustSize();
    setFixedSize(size());
  }
  QDialog::setVisible(visible);
  // A dialog shown without a default button makes its first button the
  // default; a window of this runtime has only the default its design or
  // code gave it, so Enter elsewhere than on a button presses nothing.
  if (!visible || hadDefault) return;
  for (QPushButton* button : buttonsOf(this)) {
    if (button->isDefault() && !button->hasFocus()) button->setDefault(false);
  }
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (form_.ownsWindow(this)) fire(form_.name() + ".Form_Resize", form_.onResize);
}

bool FormWindow::event(QEvent* event) {
  // An unloaded window may still be activated before it is deleted: that is no activation of the form.
  if (event->type() == QEvent::WindowActivate && form_.ownsWindow(this)) {
    // The Activate handler may unload the form: this window is then no longer its own.
    const QPointer<FormWindow> self(this);
    form_.windowActivated();
    if (!self) return true;
  }
  return QDialog::event(event);
}

EventHook::EventHook(QObject* watched, std::function<bool(QEvent*)> handler, QObject* owner)
    : QObject(owner ? owner : watched), watched_(watched), handler_(std::move(handler)) {
  watched->installEventFilter(this);
}

void onMouseRelease(QObject* watched, QObject* owner, std::function<void()> action) {
  new EventHook(
      watched,
      [action = std::move(action)](QEvent* event) {
        if (event->type() == QEvent::MouseButtonRelease) action();
        return false;
      },
      owner);
}

bool EventHook::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watched_ && handler_ && handler_(event)) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace forms
