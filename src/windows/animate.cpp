#include "windows/animate.h"

#include "ui_animate.h"

namespace windows {

AnimateWindow::AnimateWindow() : forms::Form("Animate") {}
AnimateWindow::~AnimateWindow() = default;

void AnimateWindow::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::Animate>();
  ui_->setupUi(window);
}

AnimateWindow& Animate() {
  static auto* instance = new AnimateWindow;
  return *instance;
}

}  // namespace windows
