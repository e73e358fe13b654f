#pragma once
// The search criteria: a file type (Combo1) and a folder (Combo2), both with their history and
// free typing, and whether subfolders are searched (Check1). OK starts disabled.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class AddUser;
}

namespace windows {

class AddUserWindow : public forms::Form {
 public:
  AddUserWindow();
  ~AddUserWindow() override;

  forms::Frame Frame1{*this, "Frame1"};
  forms::Frame Frame2{*this, "Frame2"};
  forms::ComboBox Combo1{*this, "Combo1"};
  forms::ComboBox Combo2{*this, "Combo2"};
  forms::CheckBox Check1{*this, "Check1"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};
  forms::CommandButton Command3{*this, "Command3"};
  forms::CommandButton Command4{*this, "Command4"};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::AddUser> ui_;
};

AddUserWindow& AddUser();

}  // namespace windows
