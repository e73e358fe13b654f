#include "save/save_status.h"

#include "windows/form1.h"
#include "windows/frmsmartsave.h"

namespace save {

void SetStatus(std::string_view text) {
  windows::Form1().StatusBar1.setSimpleText(text);
  windows::FrmSmartSave().StatusBar1.setSimpleText(text);
}

void SetProgress(int step) {
  windows::Form1().ProgressBar1.setValue(step);
  windows::FrmSmartSave().ProgressBar1.setValue(step);
}

}  // namespace save
