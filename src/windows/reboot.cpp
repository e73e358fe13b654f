#include "windows/reboot.h"

#include <QStyle>

#include "ui_reboot.h"

namespace windows {

RebootWindow::RebootWindow() : forms::Form("Reboot") {}
RebootWindow::~RebootWindow() = default;

void RebootWindow::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::Reboot>();
  ui_->setupUi(window);
  // Tool-window border, no minimise or maximise button, above every other window.
  window->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  ui_->Picture1->setPixmap(window->style()->standardIcon(QStyle::SP_BrowserReload).pixmap(48, 48));
}

RebootWindow& Reboot() {
  static auto* instance = new RebootWindow;
  return *instance;
}

}  // namespace windows
