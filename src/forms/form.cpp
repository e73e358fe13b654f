// Form: default instances that load on first touch, show (also modally),
// hide and unload.
#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFontMetrics>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <memory>

#include "forms/accessible_names.h"
#include "forms/app.h"
#include "forms/classic_look.h"
#include "forms/control_access.h"
#include "forms/form_window.h"
#include "forms/forms.h"
#include "forms/handler_guard.h"
#include "forms/qt_text.h"
#include "forms/timer_binding.h"
#include "platform/error.h"

namespace forms {
namespace {

std::vector<Form*>& loadOrder() {
  static std::vector<Form*> forms;
  return forms;
}

Form* g_active = nullptr;

// What the runtime gives every window it loads: names for screen readers,
// lists that show whole rows and whose rows a screen reader chooses as a click does,
// tabbed controls whose focus rests on their tab strip.
void prepareWindow(QWidget* window) {
  nameControls(window);
  for (QListView* list : window->findChildren<QListView*>()) showWholeRows(list);
  for (QListWidget* list : window->findChildren<QListWidget*>()) chooseRowsAsAClickDoes(list);
  // The focus given to a tabbed control or to one of its pages (Ctrl+Tab
  // gives it the page it shows) goes to its tab strip, which names the page.
  for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
    tabs->setFocusProxy(tabs->tabBar());
    for (int i = 0; i < tabs->count(); ++i) tabs->widget(i)->setFocusProxy(tabs->tabBar());
  }
}

Qt::CursorShape cursorShape(int pointer) {
  switch (pointer) {
    case 11: return Qt::WaitCursor;
    case 13: return Qt::BusyCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

struct Form::Impl {
  QPointer<FormWindow> window;
  std::vector<Control*> controls;
  std::vector<Timer*> timers;
  std::vector<QEventLoop*> modalLoops;
  int helpContextId = 0;
  int mousePointer = 0;

  void quitModalLoops() {
    for (QEventLoop* loop : modalLoops) loop->quit();
  }
};

Form::Form(std::string name) : name_(std::move(name)), impl_(std::make_unique<Impl>()) {}

Form::~Form() {
  std::erase(loadOrder(), this);
  if (g_active == this) g_active = nullptr;
  // Default instances die at static destruction, after the application
  // object: then the window is left to the process's end.
  if (impl_->window) {
    if (QCoreApplication::instance()) {
      delete impl_->window.data();
    }
  }
}

void Form::registerControl(Control* control) { impl_->controls.push_back(control); }
void Form::unregisterControl(Control* control) { std::erase(impl_->controls, control); }
void Form::registerTimer(Timer* timer) { impl_->timers.push_back(timer); }
void Form::unregisterTimer(Timer* timer) { std::erase(impl_->timers, timer); }

bool Form::loaded() const { return impl_->window != nullptr; }

void Form::load() {
  if (impl_->window) return;
  // Before any widget exists: Qt keeps the interface it gives a widget first.
  installAccessibleInterfaces();
  auto made = std::make_unique<FormWindow>(*this);
  made->setObjectName(toQt(name_));
  setupUi(made.get());
  prepareWindow(made.get());
  FormWindow* window = made.release();
  impl_->window = window;
  impl_->helpContextId = 0;
  impl_->mousePointer = 0;
  loadOrder().push_back(this);
  for (Control* control : impl_->controls) {
    if (!bindControl(control)) {
      reportHandlerError(name_ + " load", ("no control named " + control->name()).c_str());
    }
  }
  for (Timer* timer : impl_->timers) bindTimer(*timer, window);
  fire(name_ + ".Form_Load", onLoad);
}

bool Form::bindControl(Control* control) {
  if (!impl_->window) return false;
  QWidget* found = impl_->window->findChild<QWidget*>(toQt(control->name()));
  if (found) control->attach(found);
  return found != nullptr;
}

QWidget* Form::widget() {
  load();
  return impl_->window;
}

Form* Form::ofWidget(const QWidget* widget) {
  if (!widget) return nullptr;
  auto* window = dynamic_cast<const FormWindow*>(widget->window());
  return window ? &window->form() : nullptr;
}

void Form::unload() { unloadWith(1); }

void Form::unloadForShutdown() { unloadWith(2); }

void Form::unloadWith(int unloadMode) {
  if (!impl_->window) return;
  bool cancel = false;
  if (onQueryUnload) guarded(name_ + ".Form_QueryUnload", [&] { onQueryUnload(cancel, unloadMode); });
  if (cancel || !impl_->window) return;
  if (onUnload) guarded(name_ + ".Form_Unload", [&] { onUnload(cancel); });
  if (cancel || !impl_->window) return;

  FormWindow* window = impl_->window;
  impl_->window = nullptr;
  std::erase(loadOrder(), this);
  if (g_active == this) g_active = nullptr;
  for (Timer* timer : impl_->timers) unbindTimer(*timer);
  for (Control* control : impl_->controls) control->detach();
  window->hide();
  impl_->quitModalLoops();
  // Code of a handler may still run on these widgets: delete them once the
  // handlers have returned and the event loop gets control back.
  deleteAfterHandlers(window);
}

void Form::windowHidden() {
  if (g_active == this) g_active = nullptr;
  impl_->quitModalLoops();
}

bool Form::ownsWindow(const QWidget* window) const { return impl_->window && impl_->window == window; }

void Form::windowActivated() {
  if (g_active == this) return;
  g_active = this;
  fire(name_ + ".Form_Activate", onActivate);
}

void Form::show(ShowMode mode) {
  load();
  FormWindow* window = impl_->window;
  if (!window) return;  // unloaded by its own load handler
  if (mode == Modal) {
    if (window->isVisible() && impl_->modalLoops.empty()) {
      throw platform::RuntimeError(400, "Form already displayed; can't show modally");
    }
    if (!window->isVisible()) window->setWindowModality(Qt::ApplicationModal);
  }
  // A hidden window that is shown again becomes active anew, even when the
  // window system's activation of its last showing arrived after its hide.
  if (!window->isVisible() && g_active == this) g_active = nullptr;
  // The Activate handler may unload this window (its widgets then go once
  // the handlers have returned): from here on only through the guard.
  QPointer<FormWindow> guard(window);
  window->show();
  if (guard) guard->raise();
  if (guard) guard->activateWindow();
  if (guard && impl_->window == guard) windowActivated();
  if (mode != Modal) return;

  if (!guard || impl_->window != guard || !guard->isVisible()) return;
  QEventLoop loop;
  impl_->modalLoops.push_back(&loop);
  loop.exec(QEventLoop::DialogExec);
  std::erase(impl_->modalLoops, &loop);
  if (guard && !guard->isVisible()) guard->setWindowModality(Qt::NonModal);
}

void Form::hide() {
  load();
  if (impl_->window) impl_->window->hide();
}

bool Form::visible() const {
  const_cast<Form*>(this)->load();
  return impl_->window && impl_->window->isVisible();
}

void Form::refresh() { repaintNow(widget()); }

void Form::centre() {
  QWidget* w = widget();
  w->move(screenWidth() / 2 - w->width() / 2, screenHeight() / 2 - w->height() / 2);
}

WindowState Form::windowState() const {
  Qt::WindowStates state = const_cast<Form*>(this)->widget()->windowState();
  if (state & Qt::WindowMinimized) return WindowState::Minimized;
  if (state & Qt::WindowMaximized) return WindowState::Maximized;
  return WindowState::Normal;
}

void Form::setWindowState(WindowState state) {
  QWidget* w = widget();
  Qt::WindowStates flags = w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (state == WindowState::Minimized) flags |= Qt::WindowMinimized;
  if (state == WindowState::Maximized) flags |= Qt::WindowMaximized;
  w->setWindowState(flags);
}

std::string Form::caption() const { return fromQt(const_cast<Form*>(this)->widget()->windowTitle()); }
void Form::setCaption(std::string_view text) {
  QWidget* window = widget();
  window->setWindowTitle(toQt(text));
  captionChanged(window);
}
int Form::left() const { return const_cast<Form*>(this)->widget()->x(); }
int Form::top() const { return const_cast<Form*>(this)->widget()->y(); }
int Form::width() const { return const_cast<Form*>(this)->widget()->width(); }
int Form::height() const { return const_cast<Form*>(this)->widget()->height(); }
void Form::move(int left, int top) { widget()->move(left, top); }
void Form::resize(int width, int height) { widget()->resize(width, height); }
bool Form::enabled() const { return const_cast<Form*>(this)->widget()->isEnabled(); }
void Form::setEnabled(bool on) { widget()->setEnabled(on); }

int Form::helpContextId() const {
  const_cast<Form*>(this)->load();
  return impl_->helpContextId;
}

void Form::setHelpContextId(int id) {
  load();
  impl_->helpContextId = id;
}

int Form::textWidth(std::string_view text) const {
  return QFontMetrics(const_cast<Form*>(this)->widget()->font()).horizontalAdvance(toQt(text));
}

int Form::mousePointer() const {
  const_cast<Form*>(this)->load();
  return impl_->mousePointer;
}

void Form::setMousePointer(int pointer) {
  QWidget* w = widget();
  impl_->mousePointer = pointer;
  if (pointer == 0) {
    w->unsetCursor();
  } else {
    w->setCursor(QCursor(cursorShape(pointer)));
  }
}

std::vector<Form*> loadedForms() { return loadOrder(); }

Form* activeForm() { return g_active; }

// ---- HoldEvents ------------------------------------------------------------

namespace {
int g_holds = 0;
}

HoldEvents::HoldEvents() { ++g_holds; }
HoldEvents::~HoldEvents() { --g_holds; }
bool HoldEvents::held() { return g_holds > 0; }

}  // namespace forms
