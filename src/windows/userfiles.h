#pragma once
// The user-files dialog: tab 0 the user-defined files (UserUser: Frame8 with List1 and its
// buttons), tab 1 Internet Explorer and Outlook Express (UserExpl: Frame1, Frame2, the hidden
// lookup lists List2 and List3), tab 2 Netscape (UserNets: Combo2, Frame3, Frame4, the hidden
// List4). Apply (Command1) and Remove (Command12) start disabled; List1 accepts dropped files.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class UserFiles;
}

namespace windows {

class UserFilesWindow : public forms::Form {
 public:
  UserFilesWindow();
  ~UserFilesWindow() override;

  forms::TabControl SSTab1{*this, "SSTab1"};
  forms::Frame UserUser{*this, "UserUser"};
  forms::Frame UserExpl{*this, "UserExpl"};
  forms::Frame UserNets{*this, "UserNets"};
  forms::Frame Frame1{*this, "Frame1"};
  forms::Frame Frame2{*this, "Frame2"};
  forms::Frame Frame3{*this, "Frame3"};
  forms::Frame Frame4{*this, "Frame4"};
  forms::Frame Frame8{*this, "Frame8"};
  forms::ListBox List1{*this, "List1"};
  forms::ListBox List2{*this, "List2"};
  forms::ListBox List3{*this, "List3"};
  forms::ListBox List4{*this, "List4"};
  forms::CheckBox Check1{*this, "Check1"};
  forms::CheckBox Check2{*this, "Check2"};
  forms::CheckBox Check3{*this, "Check3"};
  forms::CheckBox Check4{*this, "Check4"};
  forms::CheckBox Check5{*this, "Check5"};
  forms::CheckBox Check6{*this, "Check6"};
  forms::CheckBox Check11{*this, "Check11"};
  forms::CheckBox Check12{*this, "Check12"};
  forms::Label Label1{*this, "Label1"};
  forms::Label Label2{*this, "Label2"};
  forms::Label Label3{*this, "Label3"};
  forms::Label Label4{*this, "Label4"};
  forms::Label Label5{*this, "Label5"};
  forms::Label Label6{*this, "Label6"};
  forms::ComboBox Combo1{*this, "Combo1"};
  forms::ComboBox Combo2{*this, "Combo2"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};
  forms::CommandButton Command3{*this, "Command3"};
  forms::CommandButton Command4{*this, "Command4"};
  forms::CommandButton Command5{*this, "Command5"};
  forms::CommandButton Command6{*this, "Command6"};
  forms::CommandButton Command7{*this, "Command7"};
  forms::CommandButton Command11{*this, "Command11"};
  forms::CommandButton Command12{*this, "Command12"};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::UserFiles> ui_;
};

UserFilesWindow& UserFiles();

}  // namespace windows
