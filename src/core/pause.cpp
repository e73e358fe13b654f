#include "core/pause.h"

#include <chrono>
#include <thread>

namespace core {

namespace {

std::function<void(int)>& pauseHandler() {
  static std::function<void(int)> handler;
  return handler;
}

}  // namespace

void Pause(int milliseconds) {
  if (pauseHandler()) {
    pauseHandler()(milliseconds);
    return;
  }
  if (milliseconds <= 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void setPause(std::function<void(int milliseconds)> pause) { pauseHandler() = std::move(pause); }

}  // namespace core
