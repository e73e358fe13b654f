// The tabbed dialog control over a QTabWidget (pages hold the controls) or a
// QTabBar (the program shows and hides frames itself).
#include <QTabBar>
#include <QTabWidget>

#include "forms/accessible_names.h"
#include "forms/control_access.h"
#include "forms/handler_guard.h"
#include "forms/qt_text.h"

namespace forms {
namespace {

QTabBar* tabBarOf(QWidget* widget) {
  if (auto* tabs = qobject_cast<QTabWidget*>(widget)) return tabs->tabBar();
  if (auto* bar = qobject_cast<QTabBar*>(widget)) return bar;
  throw platform::RuntimeError(platform::kInvalidCall, "not a tab control");
}

void checkTab(QTabBar* bar, int index) {
  if (index < 0 || index >= bar->count()) raiseInvalidValue();
}

}  // namespace

int TabControl::tab() const { return tabBarOf(widget())->currentIndex(); }

void TabControl::setTab(int index) {
  QWidget* w = widget();
  QTabBar* bar = tabBarOf(w);
  checkTab(bar, index);
  if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
    tabs->setCurrentIndex(index);
  } else {
    bar->setCurrentIndex(index);
  }
}

int TabControl::tabs() const { return tabBarOf(widget())->count(); }

std::string TabControl::tabCaption(int index) const {
  QTabBar* bar = tabBarOf(widget());
  checkTab(bar, index);
  return fromQt(bar->tabText(index));
}

void TabControl::setTabCaption(int index, std::string_view text) {
  QTabBar* bar = tabBarOf(widget());
  checkTab(bar, index);
  bar->setTabText(index, toQt(text));
  captionChanged(bar);
}

bool TabControl::tabEnabled(int index) const {
  QTabBar* bar = tabBarOf(widget());
  checkTab(bar, index);
  return bar->isTabEnabled(index);
}

void TabControl::setTabEnabled(int index, bool on) {
  QTabBar* bar = tabBarOf(widget());
  checkTab(bar, index);
  bar->setTabEnabled(index, on);
}

void TabControl::attach(QWidget* widget) {
  Control::attach(widget);
  QTabBar* bar = nullptr;
  if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
    bar = tabs->tabBar();
  } else {
    bar = qobject_cast<QTabBar*>(widget);
  }
  if (!bar) return;
  auto previous = std::make_shared<int>(bar->currentIndex());
  QObject::connect(bar, &QTabBar::currentChanged, link(), [this, previous](int index) {
    int before = *previous;
    *previous = index;
    if (!onClick || HoldEvents::held()) return;
    std::function<void(int)> call = onClick;
    guarded(eventName(*this, "Click"), [&] { call(before); });
  });
}

}  // namespace forms
