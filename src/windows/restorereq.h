#pragma once
// The restore selection: what of a loaded configuration is put back. Tab 0 holds the system
// files (Frame2) and the Start menu (Frame1), tab 1 the user-defined files (List1, each entry
// ticked when selected), tab 2 Internet Explorer and Outlook Express (Frame4, Frame5), tab 3
// Netscape (Frame6 Navigator, Frame7 Messenger, Frame8 News). Fixed border and no control box:
// OK and Cancel are the only ways out.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class RestoreReq;
}

namespace windows {

class RestoreReqWindow : public forms::Form {
 public:
  RestoreReqWindow();
  ~RestoreReqWindow() override;

  forms::TabControl SSTab1{*this, "SSTab1"};
  forms::Frame Frame1{*this, "Frame1"};
  forms::Frame Frame2{*this, "Frame2"};
  forms::Frame Frame3{*this, "Frame3"};
  forms::Frame Frame4{*this, "Frame4"};
  forms::Frame Frame5{*this, "Frame5"};
  forms::Frame Frame6{*this, "Frame6"};
  forms::Frame Frame7{*this, "Frame7"};
  forms::Frame Frame8{*this, "Frame8"};
  forms::CheckBox Check1{*this, "Check1"};
  forms::CheckBox Check2{*this, "Check2"};
  forms::CheckBox Check3{*this, "Check3"};
  forms::CheckBox Check4{*this, "Check4"};
  forms::CheckBox Check5{*this, "Check5"};
  forms::CheckBox Check6{*this, "Check6"};
  forms::CheckBox Check7{*this, "Check7"};
  forms::CheckBox Check8{*this, "Check8"};
  forms::CheckBox Check9{*this, "Check9"};
  forms::CheckBox Check10{*this, "Check10"};
  forms::CheckBox Check11{*this, "Check11"};
  forms::CheckBox Check12{*this, "Check12"};
  forms::CheckBox Check13{*this, "Check13"};
  forms::CheckBox Check14{*this, "Check14"};
  forms::CheckBox Check15{*this, "Check15"};
  forms::CheckBox Check16{*this, "Check16"};
  forms::CheckBox Check17{*this, "Check17"};
  forms::CheckBox Check18{*this, "Check18"};
  forms::CheckBox Check19{*this, "Check19"};
  forms::CheckBox Check20{*this, "Check20"};
  forms::CheckBox Check21{*this, "Check21"};
  forms::CheckBox Check22{*this, "Check22"};
  forms::CheckBox Check23{*this, "Check23"};
  forms::CheckBox Check24{*this, "Check24"};
  forms::CheckBox Check25{*this, "Check25"};
  forms::ListBox List1{*this, "List1"};
  forms::Label Label1{*this, "Label1"};
  forms::Label Label2{*this, "Label2"};
  forms::Label Label3{*this, "Label3"};
  forms::Label Label4{*this, "Label4"};
  forms::Label Label5{*this, "Label5"};
  forms::Label Label6{*this, "Label6"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};
  forms::CommandButton Command3{*this, "Command3"};
  forms::CommandButton Command4{*this, "Command4"};
  forms::CommandButton Command5{*this, "Command5"};
  forms::CommandButton Command6{*this, "Command6"};
  forms::CommandButton Command7{*this, "Command7"};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::RestoreReq> ui_;
};

RestoreReqWindow& RestoreReq();

}  // namespace windows
