#pragma once
// Private to the runtime: a Timer gets its QTimer while its window is loaded.
class QWidget;

namespace forms {

class Timer;
void bindTimer(Timer& timer, QWidget* window);
void unbindTimer(Timer& timer);

}  // namespace forms
