#include "windows/wizzard.h"

#include <QStyle>

#include "ui_wizzard.h"

namespace windows {

WizzardWindow::WizzardWindow() : forms::Form("Wizzard") {}
WizzardWindow::~WizzardWindow() = default;

void WizzardWindow::setupUi(QWidget* window) {
  BootDiskDone = false;
  ui_ = std::make_unique<Ui::Wizzard>();
  ui_->setupUi(window);
  window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  ui_->Picture1->setPixmap(window->style()->standardIcon(QStyle::SP_DriveFDIcon).pixmap(64, 64));
}

WizzardWindow& Wizzard() {
  static auto* instance = new WizzardWindow;
  return *instance;
}

}  // namespace windows
