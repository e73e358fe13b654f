#pragma once
// A small window with one control of every kind, built in code, for the
// runtime's tests. Designer values: Text1 "designer", Check1 ticked, Combo1
// and List1 with three items and nothing chosen, slider 0..10 at 5.
// List3 and List4 are list views: the runtime gives them its own item model.
#include "forms/forms.h"

namespace formstest {

class TestWindow : public forms::Form {
 public:
  explicit TestWindow(std::string name = "TestWindow") : Form(std::move(name)) {}

  forms::Label Label1{*this, "Label1"};
  forms::Frame Frame1{*this, "Frame1"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::CheckBox Check1{*this, "Check1"};
  forms::OptionButton Option1{*this, "Option1"};
  forms::OptionButton Option2{*this, "Option2"};
  forms::TextBox Text1{*this, "Text1"};
  forms::TextBox Text2{*this, "Text2"};     // multi-line
  forms::ListBox List1{*this, "List1"};     // single selection
  forms::ListBox List2{*this, "List2"};     // extended selection, takes dropped files
  forms::ListBox List3{*this, "List3"};     // as List1 over a plain list view, empty
  forms::ListBox List4{*this, "List4"};     // as List2 over a plain list view, empty
  forms::ComboBox Combo1{*this, "Combo1"};  // drop-down list
  forms::ComboBox Combo2{*this, "Combo2"};  // editable
  forms::Slider Slider1{*this, "Slider1"};
  forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};
  forms::StatusBar StatusBar1{*this, "StatusBar1"};
  forms::TabControl SSTab1{*this, "SSTab1"};
  forms::Picture Picture1{*this, "Picture1"};
  forms::Timer Timer1{*this, "Timer1", 20, false};

  int setupCount = 0;

 protected:
  void setupUi(QWidget* window) override;
};

}  // namespace formstest
