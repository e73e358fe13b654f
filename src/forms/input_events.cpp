// Keys, mouse moves and dropped files. A control's key handlers run only for
// keys aimed at it (a frame that a key passes on its way to the window runs
// nothing); its mouse-move handler runs for moves over its client area.
#include "forms/input_events.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <optional>

#include "forms/form_window.h"
#include "forms/forms.h"
#include "forms/handler_guard.h"
#include "forms/qt_text.h"
#include "platform/machine.h"

namespace forms {
namespace {

int buttonMaskOf(Qt::MouseButtons buttons) {
  return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
         (buttons & Qt::MiddleButton ? 4 : 0);
}

int modifierMask(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
         (modifiers & Qt::AltModifier ? 4 : 0);
}

// The character a key types, as its Windows-1252 code; 0 for none.
int keyAsciiOf(const QKeyEvent* event) {
  const QString text = event->text();
  if (text.size() != 1) return 0;
  const std::string byte = fromQt(text);
  if (byte.size() != 1 || (byte[0] == '?' && text[0] != QChar('?'))) return 0;
  return static_cast<unsigned char>(byte[0]);
}

using KeyDown = std::function<void(int&, int)>;
using KeyPress = std::function<void(int&)>;

// Runs KeyDown then KeyPress; true when a handler set its code to 0.
bool runKeyHandlers(const std::string& where, const KeyDown& down, const KeyPress& press, QKeyEvent* event) {
  if (down) {
    int code = keyCodeOf(event);
    if (code != 0) {
      KeyDown call = down;
      guarded(where + "_KeyDown", [&] { call(code, shiftMaskOf(event)); });
      if (code == 0) return true;
    }
  }
  if (press) {
    int ascii = keyAsciiOf(event);
    if (ascii != 0) {
      KeyPress call = press;
      guarded(where + "_KeyPress", [&] { call(ascii); });
      if (ascii == 0) return true;
    }
  }
  return false;
}

// The Windows paths of a drag's files, or nothing when it holds anything
// else (text, a web address, a file outside this machine).
std::optional<std::vector<std::string>> machineFiles(const QMimeData* data) {
  if (!data || !data->hasUrls()) return std::nullopt;
  std::vector<std::string> files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return std::nullopt;
    const std::string path = platform::windowsPath(url.toLocalFile().toStdString());
    if (path.empty()) return std::nullopt;
    files.push_back(path);
  }
  if (files.empty()) return std::nullopt;
  return files;
}

}  // namespace

int keyCodeOf(const QKeyEvent* event) {
  const int key = event->key();
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
  }
}

int shiftMaskOf(const QKeyEvent* event) { return modifierMask(event->modifiers()); }

void installInputHooks(Control& control, QWidget* widget) {
  const std::string where = control.form().name() + "." + control.name();
  auto keys = [&control, where](QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    return runKeyHandlers(where, control.onKeyDown, control.onKeyPress, static_cast<QKeyEvent*>(event));
  };
  // Keys aimed at the control: its widget when it takes the focus (an
  // editable combo box keeps the focus and hands keys to its text field).
  if (widget->focusPolicy() != Qt::NoFocus) new EventHook(widget, keys);

  QWidget* client = widget;
  if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) client = area->viewport();
  client->setMouseTracking(true);
  new EventHook(
      client,
      [&control, where](QEvent* event) {
        if (event->type() != QEvent::MouseMove || !control.onMouseMove) return false;
        auto* move = static_cast<QMouseEvent*>(event);
        auto call = control.onMouseMove;
        const QPoint at = move->position().toPoint();
        guarded(where + "_MouseMove", [&] {
          call(buttonMaskOf(move->buttons()), modifierMask(move->modifiers()), at.x(), at.y());
        });
        return false;
      },
      widget);
}

void installFileDrop(ListBox& list, QAbstractItemView* widget) {
  const std::string where = list.form().name() + "." + list.name() + "_OLEDragDrop";
  new EventHook(
      widget->viewport(),
      [&list, where](QEvent* event) {
        switch (event->type()) {
          case QEvent::DragEnter:
          case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (list.onDropFiles && machineFiles(drag->mimeData())) {
              drag->setDropAction(Qt::CopyAction);
              drag->accept();
            } else {
              drag->ignore();
            }
            return true;
          }
          case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto files = machineFiles(drop->mimeData());
            if (!list.onDropFiles || !files) {
              drop->ignore();
              return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            auto call = list.onDropFiles;
            guarded(where, [&] { call(*files); });
            return true;
          }
          default: return false;
        }
      },
      widget);
}

bool formKeyPressed(Form& form, QKeyEvent* event) {
  return runKeyHandlers(form.name() + ".Form", form.onKeyDown, form.onKeyPress, event);
}

}  // namespace forms
