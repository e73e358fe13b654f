// Timers live with their window: a loaded window runs them, an unloaded one stops them.
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "forms/forms.h"
#include "forms/handler_guard.h"
#include "forms/timer_binding.h"

namespace forms {

struct Timer::Impl {
  Form& owner;
  std::string name;
  int designInterval;
  bool designEnabled;
  int interval;
  bool enabled;
  QPointer<QTimer> timer;

  void apply() {
    if (!timer) return;
    timer->setInterval(interval);
    // An interval of 0 never ticks.
    if (enabled && interval > 0) {
      timer->start();
    } else {
      timer->stop();
    }
  }
};

Timer::Timer(Form& owner, std::string name, int intervalMs, bool enabled)
    : impl_(std::make_unique<Impl>(
          Impl{owner, std::move(name), intervalMs, enabled, intervalMs, enabled, {}})) {
  owner.registerTimer(this);
}

Timer::~Timer() {
  unbindTimer(*this);
  impl_->owner.unregisterTimer(this);
}

int Timer::interval() const {
  impl_->owner.load();
  return impl_->interval;
}

void Timer::setInterval(int ms) {
  impl_->owner.load();
  impl_->interval = ms < 0 ? 0 : ms;
  impl_->apply();
}

bool Timer::enabled() const {
  impl_->owner.load();
  return impl_->enabled;
}

void Timer::setEnabled(bool on) {
  impl_->owner.load();
  // Enabling a running timer starts its interval afresh.
  impl_->enabled = on;
  impl_->apply();
}

void bindTimer(Timer& timer, QWidget* window) {
  Timer::Impl& impl = *timer.impl_;
  unbindTimer(timer);
  impl.interval = impl.designInterval;
  impl.enabled = impl.designEnabled;
  impl.timer = new QTimer(window);
  QObject::connect(impl.timer, &QTimer::timeout, impl.timer, [&timer] {
    fire(timer.impl_->owner.name() + "." + timer.impl_->name + "_Timer", timer.onTimer);
  });
  impl.apply();
}

void unbindTimer(Timer& timer) {
  Timer::Impl& impl = *timer.impl_;
  if (!impl.timer) return;
  impl.timer->stop();
  // The tick handler may be what unloads the window: never delete under it.
  impl.timer->deleteLater();
  impl.timer = nullptr;
}

}  // namespace forms
