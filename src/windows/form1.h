#pragma once
// The main window: the tab control SSTab2 with its six pages (Save, Restore,
// Options, Tools, Maintenance, Info), the Help and Exit buttons and the status
// bar. The page frames frmSave .. frmInfo sit on the tabs; Frame14 (web update)
// stands on the Maintenance tab beside frmNance. List4 is hidden scratch storage.
#include <memory>
#include <string>

#include "forms/forms.h"

namespace Ui {
class Form1;
}

namespace windows {

class Form1Window : public forms::Form {
 public:
  Form1Window();
  ~Form1Window() override;

  forms::TabControl SSTab2{*this, "SSTab2"};
  forms::StatusBar StatusBar1{*this, "StatusBar1"};
  // Page frames and the frames inside them.
  forms::Frame frmSave{*this, "frmSave"};
  forms::Frame frmRestore{*this, "frmRestore"};
  forms::Frame frmOptions{*this, "frmOptions"};
  forms::Frame frmTools{*this, "frmTools"};
  forms::Frame frmNance{*this, "frmNance"};
  forms::Frame frmInfo{*this, "frmInfo"};
  forms::Frame Frame1{*this, "Frame1"};
  forms::Frame Frame2{*this, "Frame2"};
  forms::Frame Frame3{*this, "Frame3"};
  forms::Frame Frame4{*this, "Frame4"};
  forms::Frame Frame5{*this, "Frame5"};
  forms::Frame Frame6{*this, "Frame6"};
  forms::Frame Frame7{*this, "Frame7"};
  forms::Frame Frame8{*this, "Frame8"};
  forms::Frame Frame9{*this, "Frame9"};
  forms::Frame Frame10{*this, "Frame10"};
  forms::Frame Frame11{*this, "Frame11"};
  forms::Frame Frame12{*this, "Frame12"};
  forms::Frame Frame13{*this, "Frame13"};
  forms::Frame Frame14{*this, "Frame14"};
  // Buttons: 2 Help and 3 Exit stand outside the tabs.
  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};
  forms::CommandButton Command3{*this, "Command3"};
  forms::CommandButton Command4{*this, "Command4"};
  forms::CommandButton Command9{*this, "Command9"};
  forms::CommandButton Command11{*this, "Command11"};
  forms::CommandButton Command13{*this, "Command13"};
  forms::CommandButton Command14{*this, "Command14"};
  forms::CommandButton Command18{*this, "Command18"};
  forms::CommandButton Command19{*this, "Command19"};
  forms::CommandButton Command20{*this, "Command20"};
  forms::CommandButton Command21{*this, "Command21"};
  forms::CommandButton Command22{*this, "Command22"};
  forms::CommandButton Command23{*this, "Command23"};
  forms::CommandButton Command26{*this, "Command26"};
  forms::CommandButton Command27{*this, "Command27"};
  forms::CommandButton Command28{*this, "Command28"};
  // Save page: the slot buttons, the description (15 characters), the save folder.
  forms::OptionButton Option1{*this, "Option1"};
  forms::OptionButton Option2{*this, "Option2"};
  forms::OptionButton Option3{*this, "Option3"};
  forms::OptionButton Option4{*this, "Option4"};
  forms::OptionButton Option5{*this, "Option5"};
  forms::TextBox Text1{*this, "Text1"};
  forms::TextBox Text2{*this, "Text2"};
  forms::TextBox Text3{*this, "Text3"};
  // Label2 (slot overview) is in Courier New; Label3 is hidden until a restore ends;
  // Label5/7/9 and Label11/13 are the values beside the captions Label6/8/10 and 12/14.
  forms::Label Label1{*this, "Label1"};
  forms::Label Label2{*this, "Label2"};
  forms::Label Label3{*this, "Label3"};
  forms::Label Label4{*this, "Label4"};
  forms::Label Label5{*this, "Label5"};
  forms::Label Label6{*this, "Label6"};
  forms::Label Label7{*this, "Label7"};
  forms::Label Label8{*this, "Label8"};
  forms::Label Label9{*this, "Label9"};
  forms::Label Label10{*this, "Label10"};
  forms::Label Label11{*this, "Label11"};
  forms::Label Label12{*this, "Label12"};
  forms::Label Label13{*this, "Label13"};
  forms::Label Label14{*this, "Label14"};
  forms::Label Label18{*this, "Label18"};
  forms::Label Label19{*this, "Label19"};
  forms::Label Label21{*this, "Label21"};
  forms::Label Label22{*this, "Label22"};
  forms::Label Label23{*this, "Label23"};
  forms::Label Label24{*this, "Label24"};
  forms::Label Label25{*this, "Label25"};
  forms::Label Label27{*this, "Label27"};
  forms::Label Label28{*this, "Label28"};
  forms::Label Label29{*this, "Label29"};
  // Options page: Check1 Start menu, Check2 .. Check17 the system files.
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
  // List1 SmartSave slots, List2 restore slots, List3 delete slots (Courier New).
  forms::ListBox List1{*this, "List1"};
  forms::ListBox List2{*this, "List2"};
  forms::ListBox List3{*this, "List3"};
  forms::ListBox List4{*this, "List4"};
  forms::ComboBox Combo1{*this, "Combo1"};
  forms::Slider Slider1{*this, "Slider1"};
  forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};  // save, 0 .. 10
  forms::ProgressBar ProgressBar2{*this, "ProgressBar2"};  // restore, 0 .. 100

  // Window variables, back to "" on every load.
  std::string SelectedName;  // the configuration chosen for a restore
  std::string List3Text;     // the List3 row last clicked, for Delete

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::Form1> ui_;
};

Form1Window& Form1();

}  // namespace windows
