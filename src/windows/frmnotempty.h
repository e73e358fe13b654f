#pragma once
// The "disk not empty" question: Label1 explains, Command1 formats,
// Command2 retries with another disk, Command3 goes on with this one.
#include <memory>
#include <string>

#include "forms/forms.h"

namespace Ui {
class frmNotEmpty;
}

namespace windows {

class FrmNotEmptyWindow : public forms::Form {
 public:
  FrmNotEmptyWindow();
  ~FrmNotEmptyWindow() override;

  forms::Label Label1{*this, "Label1"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};
  forms::CommandButton Command3{*this, "Command3"};

  // The button pressed ("Formatieren", "Cancel", "Continue"); "" on every load.
  std::string Tag;

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::frmNotEmpty> ui_;
};

FrmNotEmptyWindow& frmNotEmpty();

}  // namespace windows
