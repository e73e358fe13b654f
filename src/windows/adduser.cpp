#include "windows/adduser.h"

#include "ui_adduser.h"

namespace windows {

AddUserWindow::AddUserWindow() : forms::Form("AddUser") {}
AddUserWindow::~AddUserWindow() = default;

void AddUserWindow::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::AddUser>();
  ui_->setupUi(window);
  // A fixed dialog frame; its close box unloads it (which minimises the user-files dialog).
  window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

AddUserWindow& AddUser() {
  static auto* instance = new AddUserWindow;
  return *instance;
}

}  // namespace windows
