#pragma once
// The SmartSave countdown: explanation (Label2), countdown line (Label3),
// Skip/Cancel (Command1), the save's progress (0 .. 10) and status text.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class FrmSmartSave;
}

namespace windows {

class FrmSmartSaveWindow : public forms::Form {
 public:
  FrmSmartSaveWindow();
  ~FrmSmartSaveWindow() override;

  forms::Label Label2{*this, "Label2"};
  forms::Label Label3{*this, "Label3"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};
  forms::StatusBar StatusBar1{*this, "StatusBar1"};
  forms::Picture Picture1{*this, "Picture1"};
  forms::Timer Timer1{*this, "Timer1", 500, true};

  int Countdown = 0;  // ticks left in the countdown, 0 on every load

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::FrmSmartSave> ui_;
};

FrmSmartSaveWindow& FrmSmartSave();

}  // namespace windows
