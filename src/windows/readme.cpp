#include "windows/readme.h"

#include "ui_readme.h"

namespace windows {

ReadmeWindow::ReadmeWindow() : forms::Form("Readme") {}
ReadmeWindow::~ReadmeWindow() = default;

void ReadmeWindow::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::Readme>();
  ui_->setupUi(static_cast<QDialog*>(window));
}

ReadmeWindow& Readme() {
  static auto* instance = new ReadmeWindow;
  return *instance;
}

}  // namespace windows
