#pragma once
// The notice shown while Windows restarts after a restore: a tool window that stays on top.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class Reboot;
}

namespace windows {

class RebootWindow : public forms::Form {
 public:
  RebootWindow();
  ~RebootWindow() override;

  forms::Label Label1{*this, "Label1"};
  forms::Picture Picture1{*this, "Picture1"};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::Reboot> ui_;
};

RebootWindow& Reboot();

}  // namespace windows
