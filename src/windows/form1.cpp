#include "windows/form1.h"

#include "ui_form1.h"

namespace windows {

Form1Window::Form1Window() : forms::Form("Form1") {}
Form1Window::~Form1Window() = default;

void Form1Window::setupUi(QWidget* window) {
  SelectedName.clear();
  List3Text.clear();
  ui_ = std::make_unique<Ui::Form1>();
  ui_->setupUi(window);
}

Form1Window& Form1() {
  // Never destroyed: the window object lives for the whole run.
  static auto* instance = new Form1Window;
  return *instance;
}

}  // namespace windows
