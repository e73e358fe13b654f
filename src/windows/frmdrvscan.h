#pragma once
// The file search: what it does (Label1, in Frame1), the folder being searched (Label2), the hits
// (List1) and Stop. The area right of Frame1 (280, 5, 100 x 40) is left free for the animation.
// The window may be made larger than its designer size of 400 x 270, not smaller.
#include <memory>

#include "forms/forms.h"

namespace Ui {
class frmDrvScan;
}

namespace windows {

class FrmDrvScanWindow : public forms::Form {
 public:
  FrmDrvScanWindow();
  ~FrmDrvScanWindow() override;

  forms::Frame Frame1{*this, "Frame1"};
  forms::Label Label1{*this, "Label1"};
  forms::Label Label2{*this, "Label2"};
  forms::ListBox List1{*this, "List1"};
  forms::CommandButton Command1{*this, "Command1"};

 protected:
  void setupUi(QWidget* window) override;

 private:
  std::unique_ptr<Ui::frmDrvScan> ui_;
};

FrmDrvScanWindow& frmDrvScan();

}  // namespace windows
