#include "restore/restorereq_dialog.h"

#include <algorithm>
#include <cstdint>

#include "core/state.h"
#include "forms/app.h"
#include "forms/help.h"
#include "restore/reboot.h"
#include "restore/restore_boxes.h"
#include "restore/restore_engine.h"
#include "windows/restorereq.h"

namespace restore {

namespace {

windows::RestoreReqWindow& dialog() { return windows::RestoreReq(); }

void activated() {
  windows::RestoreReqWindow& r = dialog();
  r.SSTab1.setTab(0);
  r.setHelpContextId(1030);
  const bool files = !r.List1.list(0).empty();
  r.Command3.setEnabled(files);
  r.Command4.setEnabled(files);
  r.Label1.setVisible(false);
  // Measured again only when the items changed since: every message box of
  // a restore activates the dialog again.
  static std::uint64_t measured = 0;
  static int widest = 0;
  if (r.List1.itemsRevision() != measured) {
    widest = 0;
    for (int i = 0; i < r.List1.listCount(); ++i) widest = std::max(widest, r.textWidth(r.List1.list(i)));
    measured = r.List1.itemsRevision();
  }
  r.List1.setHorizontalExtent(widest + 5);
}

void setSystemBoxes(int value) {
  for (int number : kAllNoneBoxes) {
    forms::CheckBox& box = RestoreBox(number);
    if (box.enabled()) box.setValue(value);
  }
}

void selectUserFiles(bool on) {
  windows::RestoreReqWindow& r = dialog();
  r.List1.setAllSelected(on);
  r.Label1.setVisible(on);
}

void listClicked() {
  windows::RestoreReqWindow& r = dialog();
  if (r.List1.selCount() < r.List1.listCount()) r.Label1.setVisible(false);
}

void cancelled() {
  windows::RestoreReqWindow& r = dialog();
  for (forms::Control* c : std::initializer_list<forms::Control*>{&r.Command1, &r.Command5, &r.Command6,
                                                                  &r.Command3, &r.Command4, &r.Label1})
    c->setVisible(true);
  core::state().SettingsSaved = true;
  r.hide();
}

void confirmed() {
  dialog().hide();
  forms::doEvents();
  RestoreConfiguration();
}

}  // namespace

void bindRestoreReq() {
  windows::RestoreReqWindow& r = dialog();
  r.onActivate = activated;
  r.Command1.onClick = confirmed;
  r.Command2.onClick = cancelled;
  r.Command3.onClick = [] { selectUserFiles(true); };
  r.Command4.onClick = [] { selectUserFiles(false); };
  r.Command5.onClick = [] { setSystemBoxes(1); };
  r.Command6.onClick = [] { setSystemBoxes(0); };
  r.Command7.onClick = [] { forms::sendKeys("{F1}", true); };
  r.List1.onClick = listClicked;
  bindReboot();
}

}  // namespace restore
