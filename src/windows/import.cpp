#include "windows/import.h"

#include "ui_import.h"

namespace windows {

ImportWindow::ImportWindow() : forms::Form("Import") {}
ImportWindow::~ImportWindow() = default;

void ImportWindow::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::Import>();
  ui_->setupUi(static_cast<QDialog*>(window));
  // Fixed single border, no minimise or maximise button.
  window->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

ImportWindow& Import() {
  static auto* instance = new ImportWindow;
  return *instance;
}

}  // namespace windows
