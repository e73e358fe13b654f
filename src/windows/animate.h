#pragma once
// The copy-progress window: the animation at the top left (hWndStatic, a
// 300 x 50 host that the animation control is placed on), a status line, a
// progress bar and a Cancel button without an action.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class Animate;
}

namespace windows {

class AnimateWindow : public forms::Form {
 public:
  AnimateWindow();
  ~AnimateWindow() override;

  forms::Control hWndStatic{*this, "hWndStatic"};
  forms::Label Label1{*this, "Label1"};
  forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};
  forms::CommandButton Command1{*this, "Command1"};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::Animate> ui_;
};

AnimateWindow& Animate();

}  // namespace windows
