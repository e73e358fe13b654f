#pragma once
// The configurations found in another folder (List1, one row per slot, in a fixed-pitch font
// under the column header Label2); Label4 holds the folder. Restore and Contents start disabled.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class Import;
}

namespace windows {

class ImportWindow : public forms::Form {
 public:
  ImportWindow();
  ~ImportWindow() override;

  forms::Frame Frame1{*this, "Frame1"};
  forms::Frame Frame2{*this, "Frame2"};
  forms::Label Label2{*this, "Label2"};
  forms::Label Label4{*this, "Label4"};
  forms::ListBox List1{*this, "List1"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};
  forms::CommandButton Command3{*this, "Command3"};
  forms::CommandButton Command4{*this, "Command4"};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::Import> ui_;
};

ImportWindow& Import();

}  // namespace windows
