#include "windows/form2.h"

#include "ui_form2.h"

namespace windows {

Form2Window::Form2Window() : forms::Form("Form2") {}
Form2Window::~Form2Window() = default;

void Form2Window::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::Form2>();
  ui_->setupUi(window);
}

Form2Window& Form2() {
  static auto* instance = new Form2Window;
  return *instance;
}

}  // namespace windows
