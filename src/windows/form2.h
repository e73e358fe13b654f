#pragma once
// The start-up splash: picture, progress (0 .. 100) and one status line.
// Timer1 fires 500 ms after the window is created and drives the start-up.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class Form2;
}

namespace windows {

class Form2Window : public forms::Form {
 public:
  Form2Window();
  ~Form2Window() override;

  forms::Picture Picture1{*this, "Picture1"};
  forms::StatusBar StatusBar1{*this, "StatusBar1"};
  forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};
  forms::Timer Timer1{*this, "Timer1", 500, true};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::Form2> ui_;
};

Form2Window& Form2();

}  // namespace windows
