#pragma once
// Handlers never throw through Qt's event loop: every call of a program
// handler goes through guarded(), which logs what escapes to stderr.
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace forms {

void reportHandlerError(std::string_view where, const char* what);

template <class F>
void guarded(std::string_view where, F&& body) {
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
