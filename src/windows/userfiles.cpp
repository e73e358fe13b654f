#include "windows/userfiles.h"

#include "ui_userfiles.h"

namespace windows {

UserFilesWindow::UserFilesWindow() : forms::Form("UserFiles") {}
UserFilesWindow::~UserFilesWindow() = default;

void UserFilesWindow::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::UserFiles>();
  ui_->setupUi(window);
}

UserFilesWindow& UserFiles() {
  static auto* instance = new UserFilesWindow;
  return *instance;
}

}  // namespace windows
