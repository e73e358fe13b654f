// Control: a named widget of a window, found by objectName when the window loads.
#include <QColor>
#include <QPalette>
#include <QPointer>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "forms/control_access.h"
#include "forms/handler_guard.h"
#include "forms/input_events.h"
#include "forms/qt_text.h"

namespace forms {

void raiseInvalidValue() { throw platform::RuntimeError(380, "Invalid property value"); }
void raiseInvalidIndex() { throw platform::RuntimeError(381, "Invalid property array index"); }

QColor systemColor(int index) {
  static const QRgb kClassic[] = {
      0xC0C0C0, 0x008080, 0x000080, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
      0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x000080, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
      0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xDFDFDF, 0x000000, 0xFFFFE1,
  };
  if (index < 0 || index >= static_cast<int>(std::size(kClassic))) raiseInvalidValue();
  return QColor(kClassic[index]);
}

Control::Control(Form& owner, std::string name) : owner_(owner), name_(std::move(name)) {
  owner_.registerControl(this);
}

Control::~Control() {
  link_.reset();
  owner_.unregisterControl(this);
}

QWidget* Control::widget() const {
  if (!widget_) owner_.load();
  // A control made after its window loaded binds on its first use.
  if (!widget_) owner_.bindControl(const_cast<Control*>(this));
  if (!widget_) throw std::logic_error("window " + owner_.name() + " has no control named " + name_);
  return widget_;
}

void Control::attach(QWidget* widget) {
  widget_ = widget;
  link_ = std::make_unique<QObject>();
  backColor_ = -1;
  installInputHooks(*this, widget);
}

void Control::detach() {
  link_.reset();
  widget_ = nullptr;
}

// The control's own Enabled and Visible, whatever its window and frames are.
bool Control::enabled() const { return !widget()->testAttribute(Qt::WA_ForceDisabled); }
void Control::setEnabled(bool on) { widget()->setEnabled(on); }

bool Control::visible() const {
  QWidget* w = widget();
  return !(w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden));
}

void Control::setVisible(bool on) { widget()->setVisible(on); }
void Control::setFocus() { widget()->setFocus(Qt::OtherFocusReason); }

void repaintNow(QWidget* widget) {
  if (widget->isVisible()) {
    widget->repaint();
  } else {
    widget->update();
  }
}

void Control::refresh() { repaintNow(widget()); }

int Control::left() const { return widget()->x(); }
int Control::top() const { return widget()->y(); }
int Control::width() const { return widget()->width(); }
int Control::height() const { return widget()->height(); }
void Control::move(int left, int top) { widget()->move(left, top); }
void Control::resize(int width, int height) { widget()->resize(width, height); }

int Control::backColor() const {
  widget();
  return backColor_;
}

void Control::setBackColor(int systemColorIndex) {
  QWidget* w = widget();
  QColor colour = systemColor(systemColorIndex);
  QPalette palette = w->palette();
  palette.setColor(QPalette::Base, colour);
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::Button, colour);
  w->setPalette(palette);
  w->setAutoFillBackground(true);
  backColor_ = systemColorIndex;
}

std::string Control::toolTipText() const { return fromQt(widget()->toolTip()); }
void Control::setToolTipText(std::string_view text) { widget()->setToolTip(toQt(text)); }

// ---- handlers -------------------------------------------------------------

void reportHandlerError(std::string_view where, const char* what) {
  std::fprintf(stderr, "kelvaran: unhandled error in %.*s: %s\n", static_cast<int>(where.size()),
               where.data(), what);
  std::fflush(stderr);
}

namespace {
int g_handlerDepth = 0;
std::vector<QPointer<QObject>>& awaitingDeletion() {
  static std::vector<QPointer<QObject>> objects;
  return objects;
}
}  // namespace

HandlerRun::HandlerRun() { ++g_handlerDepth; }

HandlerRun::~HandlerRun() {
  if (--g_handlerDepth > 0) return;
  std::vector<QPointer<QObject>> objects;
  objects.swap(awaitingDeletion());
  for (const QPointer<QObject>& object : objects) {
    if (object) object->deleteLater();
  }
}

bool HandlerRun::active() { return g_handlerDepth > 0; }

void deleteAfterHandlers(QObject* object) {
  if (HandlerRun::active()) {
    awaitingDeletion().emplace_back(object);
  } else {
    object->deleteLater();
  }
}

void fireChange(const std::string& where, const std::function<void()>& handler) {
  if (!handler || HoldEvents::held()) return;
  std::function<void()> call = handler;  // the handler may replace itself
  guarded(where, call);
}

void fire(const std::string& where, const std::function<void()>& handler) {
  if (!handler) return;
  std::function<void()> call = handler;
  guarded(where, call);
}

}  // namespace forms
