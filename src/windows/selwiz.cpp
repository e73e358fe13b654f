#include "windows/selwiz.h"

#include "ui_selwiz.h"

namespace windows {

SelWizWindow::SelWizWindow() : forms::Form("SelWiz") {}
SelWizWindow::~SelWizWindow() = default;

void SelWizWindow::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::SelWiz>();
  ui_->setupUi(static_cast<QDialog*>(window));
  // It closes itself when the snapshot is done: no close box.
  window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

SelWizWindow& SelWiz() {
  static auto* instance = new SelWizWindow;
  return *instance;
}

}  // namespace windows
