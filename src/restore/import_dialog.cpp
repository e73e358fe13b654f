#include "restore/import_dialog.h"

#include <string>
#include <vector>

#include "core/state.h"
#include "forms/dialogs.h"
#include "forms/forms.h"
#include "forms/help.h"
#include "forms/messages.h"
#include "restore/import_reader.h"
#include "restore/restore_boxes.h"
#include "windows/import.h"
#include "windows/restorereq.h"

namespace restore {

namespace {

constexpr int kHelpContext = 2050;

windows::ImportWindow& dialog() { return windows::Import(); }

using forms::res;

void loadImport() {
  auto& d = dialog();
  d.setHelpContextId(kHelpContext);
  d.setCaption(res(1317));
  d.Label2.setCaption(res(1261));
  d.Frame2.setCaption(res(1240));
  d.Command1.setCaption("&" + res(1519));
  d.Command2.setCaption("&" + res(1092));
  d.Command3.setCaption("&" + res(1516));
  d.Command4.setCaption(res(1239));
}

void entryClicked() {
  auto& d = dialog();
  d.Command1.setEnabled(true);
  d.Command4.setEnabled(true);
}

// The controls of the restore dialog that a contents view hides.
std::vector<forms::Control*> actionControls() {
  windows::RestoreReqWindow& r = windows::RestoreReq();
  return {&r.Command1, &r.Command5, &r.Command6, &r.Command3, &r.Command4, &r.Label1};
}

// Restore: after the question, the chosen configuration is read and the
// restore dialog shown; its OK runs the restore from the loaded record. The
// save folder, the current slot and the settings are never changed, so
// nothing needs putting back but the import flag.
void restoreClicked() {
  auto& d = dialog();
  core::State& st = core::state();
  const std::string entry = d.List1.text();
  if (entry.empty()) return;
  st.ImportMode = true;
  const char cr = '\r';
  const int answer =
      forms::msgBox(res(1007) + cr + res(1008) + cr + entry, forms::vbYesNo + forms::vbQuestion, res(1009));
  if (answer != forms::vbYes) {
    st.ImportMode = false;
    return;
  }
  const bool accepted = LoadCINIImport();
  d.unload();
  if (accepted) windows::RestoreReq().show(forms::Modal);
  st.ImportMode = false;
}

// Contents: the chosen configuration read into the restore dialog, which then
// shows every saved group ticked, with only Cancel and Help to press.
void contentsClicked() {
  if (dialog().List1.text().empty()) return;
  if (!LoadCINIImport()) return;
  for (int number = 1; number <= 25; ++number) {
    if (RestoreBox(number).enabled()) RestoreBox(number).setValue(1);
  }
  windows::RestoreReqWindow& r = windows::RestoreReq();
  for (forms::Control* control : actionControls()) control->setVisible(false);
  const std::string caption = r.caption();
  r.setCaption(res(1215));
  r.show(forms::Modal);
  r.setCaption(caption);
  for (forms::Control* control : actionControls()) control->setVisible(true);
}

}  // namespace

void bindImport() {
  auto& d = dialog();
  d.onLoad = loadImport;
  d.List1.onClick = entryClicked;
  d.Command1.onClick = restoreClicked;
  d.Command4.onClick = contentsClicked;
  d.Command2.onClick = [] { dialog().unload(); };
  d.Command3.onClick = [] { forms::sendKeys("{F1}", true); };
}

}  // namespace restore
