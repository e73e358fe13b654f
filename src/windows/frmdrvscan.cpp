#include "windows/frmdrvscan.h"

#include "ui_frmdrvscan.h"

namespace windows {

FrmDrvScanWindow::FrmDrvScanWindow() : forms::Form("frmDrvScan") {}
FrmDrvScanWindow::~FrmDrvScanWindow() = default;

void FrmDrvScanWindow::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::frmDrvScan>();
  ui_->setupUi(window);
  window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

FrmDrvScanWindow& frmDrvScan() {
  static auto* instance = new FrmDrvScanWindow;
  return *instance;
}

}  // namespace windows
