#pragma once
// The rescue snapshot's progress: a status text (Label2) and a bar from 0 to 200. No control can
// take the focus, so the window itself receives it when shown.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class SelWiz;
}

namespace windows {

class SelWizWindow : public forms::Form {
 public:
  SelWizWindow();
  ~SelWizWindow() override;

  forms::Label Label2{*this, "Label2"};
  forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::SelWiz> ui_;
};

SelWizWindow& SelWiz();

}  // namespace windows
