#include "windows/frmnotempty.h"

#include "ui_frmnotempty.h"

namespace windows {

FrmNotEmptyWindow::FrmNotEmptyWindow() : forms::Form("frmNotEmpty") {}
FrmNotEmptyWindow::~FrmNotEmptyWindow() = default;

void FrmNotEmptyWindow::setupUi(QWidget* window) {
  Tag.clear();
  ui_ = std::make_unique<Ui::frmNotEmpty>();
  ui_->setupUi(static_cast<QDialog*>(window));
}

FrmNotEmptyWindow& frmNotEmpty() {
  static auto* instance = new FrmNotEmptyWindow;
  return *instance;
}

}  // namespace windows
