#include "forms/form_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QResizeEvent>

#include "forms/forms.h"
#include "forms/handler_guard.h"
#include "forms/input_events.h"

namespace forms {

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
  // Escape does not close a window of this runtime; Enter still presses the default button.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
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
