#include "windows/frmsmartsave.h"

#include "ui_frmsmartsave.h"

namespace windows {

FrmSmartSaveWindow::FrmSmartSaveWindow() : forms::Form("FrmSmartSave") {}
FrmSmartSaveWindow::~FrmSmartSaveWindow() = default;

void FrmSmartSaveWindow::setupUi(QWidget* window) {
  Countdown = 0;
  ui_ = std::make_unique<Ui::FrmSmartSave>();
  ui_->setupUi(static_cast<QDialog*>(window));
}

FrmSmartSaveWindow& FrmSmartSave() {
  static auto* instance = new FrmSmartSaveWindow;
  return *instance;
}

}  // namespace windows
