#pragma once
// The readme viewer: one list entry per line of Readme.txt, and Close.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class Readme;
}

namespace windows {

class ReadmeWindow : public forms::Form {
 public:
  ReadmeWindow();
  ~ReadmeWindow() override;

  forms::ListBox List1{*this, "List1"};
  forms::CommandButton Command1{*this, "Command1"};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::Readme> ui_;
};

ReadmeWindow& Readme();

}  // namespace windows
