#pragma once
// The engines' pauses: the short waits that let a window show its progress
// (a bar moving, a notice painted) and the Sleep calls. One service, so that
// tests make every pause cost nothing.
#include <functional>

namespace core {

// Waits `milliseconds` (0 yields the time slice only).
void Pause(int milliseconds);
// Replaces how pauses are spent (tests record or skip them); nullptr puts
// the real wait back.
void setPause(std::function<void(int milliseconds)> pause);

}  // namespace core
