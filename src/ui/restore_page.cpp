#include "ui/restore_page.h"

#include "core/paths.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "restore/load_cini.h"
#include "restore/restorereq_dialog.h"
#include "save/save_engine.h"
#include "windows/form1.h"
#include "windows/restorereq.h"

namespace ui {

using forms::res;
namespace {

constexpr int kFreeSlot = 1010;
constexpr int kNotSaved = 1131;

std::string g_selectedName;

void slotClicked() {
  windows::Form1Window& f = windows::Form1();
  if (f.List2.listIndex() < 0 || save::OperationRunning()) return;
  f.Command4.setEnabled(true);
  g_selectedName = f.List2.list(f.List2.listIndex());
  core::state().CurrentConfig = static_cast<std::uint8_t>(f.List2.listIndex());
  if (g_selectedName == res(kFreeSlot)) f.Command4.setEnabled(false);
  f.List1.setListIndex(-1);
}

void smartSaveClicked() {
  windows::Form1Window& f = windows::Form1();
  if (f.List1.listIndex() < 0 || save::OperationRunning()) return;
  f.Command4.setEnabled(true);
  if (platform::vb::inStr(f.List1.list(f.List1.listIndex()), res(kNotSaved)) > 0)
    f.Command4.setEnabled(false);
  f.List2.setListIndex(-1);
}

void refuse(int message) { forms::msgBox(res(message), forms::vbOKOnly + forms::vbCritical, res(1011)); }

bool descriptionExists(int slot, bool smartSave) {
  try {
    return platform::fileExists(restore::DescriptionPath(slot, smartSave));
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

void restoreClicked() {
  if (save::OperationRunning()) return;
  windows::Form1Window& f = windows::Form1();
  windows::RestoreReqWindow& r = windows::RestoreReq();
  core::State& st = core::state();
  // A contents view of an import hides the action buttons; a restore needs them.
  for (forms::Control* c : std::initializer_list<forms::Control*>{&r.Command1, &r.Command3, &r.Command5,
                                                                  &r.Command4, &r.Command6, &r.Label1})
    c->setVisible(true);
  st.SaveFolderBackup = st.SaveFolder;
  g_selectedName = st.ConfigNames(st.CurrentConfig + 1);
  const bool smartSave = f.List1.listIndex() >= 0;
  if (smartSave) {
    st.SaveFolder = forms::appPath() + "\\SmartSav\\";
    st.CurrentConfig = static_cast<std::uint8_t>(f.List1.listIndex());
    g_selectedName = "SmartSave " + f.List1.list(f.List1.listIndex());
  }
  const auto putBack = [&st] { st.SaveFolder = st.SaveFolderBackup; };
  if (g_selectedName.empty()) {
    putBack();
    return refuse(1045);
  }
  // A free slot, or one whose description has gone: nothing to restore.
  if (g_selectedName == res(kFreeSlot) || !descriptionExists(st.CurrentConfig + 1, smartSave)) {
    putBack();
    return refuse(1046);
  }
  const char cr = '\r';
  if (forms::msgBox(res(1007) + cr + res(1008) + cr + g_selectedName, forms::vbYesNo + forms::vbQuestion,
                    res(1009)) != forms::vbYes)
    return putBack();

  r.load();
  st.RestoreState = 0;
  restore::LoadCINI();
  if (st.RestoreState != 3) r.show(forms::Modal);
  putBack();
  f.Text2.setText(core::ShortenPath(st.SaveFolder, 49));
}

}  // namespace

const std::string& selectedName() { return g_selectedName; }

void bindRestorePage() {
  windows::Form1Window& f = windows::Form1();
  f.List2.onClick = slotClicked;
  f.List1.onClick = smartSaveClicked;
  f.Command4.onClick = restoreClicked;
  restore::bindRestoreReq();
}

}  // namespace ui
