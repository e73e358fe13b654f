#pragma once
// Handlers never throw through Qt's event loop: every call of a program
// handler goes through guarded(), which logs what escapes to stderr.
#include <exception>
#include <functional>
#include <string>
#include <string_view>

class QObject;

namespace forms {

void reportHandlerError(std::string_view where, const char* what);

// Alive while a program handler runs (handlers nest: one may run a modal
// window whose handlers run in turn).
class HandlerRun {
 public:
  HandlerRun();
  ~HandlerRun();
  HandlerRun(const HandlerRun&) = delete;
  HandlerRun& operator=(const HandlerRun&) = delete;
  static bool active();
};

// Deletes `object` through the event loop, but only once no handler runs:
// a handler may unload its own window and then wait in a modal window or
// message box, whose event loop must not delete widgets that the handler's
// callers (Qt's and the runtime's) still use when it returns.
void deleteAfterHandlers(QObject* object);

template <class F>
void guarded(std::string_view where, F&& body) {
  const HandlerRun run;
  try {
    body();
  } catch (const std::exception& e) {
    reportHandlerError(where, e.what());
  } catch (...) {
    reportHandlerError(where, "unknown exception");
  }
}

// Runs an event handler of a value change: not while events are held.
void fireChange(const std::string& where, const std::function<void()>& handler);
// Runs an event handler of a user action (a click of a button, a timer tick).
void fire(const std::string& where, const std::function<void()>& handler);

}  // namespace forms
