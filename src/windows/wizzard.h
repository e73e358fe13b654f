#pragma once
// The rescue-disk wizard: the page text (Label1), the two choices of the first page, the format
// hint (Label3), the disk writers' status line (Label2) and bar (ProgressBar4, 0 to 130), and
// Back, Next, Cancel, Help and Formatting... (Command1 to Command5). It opens on the first page:
// Back disabled, Formatting..., the hint and the bar hidden.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class Wizzard;
}

namespace windows {

class WizzardWindow : public forms::Form {
 public:
  WizzardWindow();
  ~WizzardWindow() override;

  forms::Label Label1{*this, "Label1"};
  forms::Label Label2{*this, "Label2"};
  forms::Label Label3{*this, "Label3"};
  forms::OptionButton Option1{*this, "Option1"};
  forms::OptionButton Option2{*this, "Option2"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};
  forms::CommandButton Command3{*this, "Command3"};
  forms::CommandButton Command4{*this, "Command4"};
  forms::CommandButton Command5{*this, "Command5"};
  forms::ProgressBar ProgressBar4{*this, "ProgressBar4"};
  forms::Picture Picture1{*this, "Picture1"};

  // True once rescue disk 1 has been written in the current pass of the wizard; false on every load.
  bool BootDiskDone = false;

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::Wizzard> ui_;
};

WizzardWindow& Wizzard();

}  // namespace windows
