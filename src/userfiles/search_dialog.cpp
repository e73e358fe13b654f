#include "userfiles/search_dialog.h"

#include <string>

#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/forms.h"
#include "forms/help.h"
#include "forms/messages.h"
#include "platform/charcase.h"
#include "platform/paths.h"
#include "save/save_engine.h"
#include "userfiles/file_search.h"
#include "userfiles/search_history.h"
#include "windows/adduser.h"
#include "windows/frmdrvscan.h"
#include "windows/userfiles.h"

namespace userfiles {
namespace {

constexpr int kHelpContext = 2030;

windows::AddUserWindow& criteria() { return windows::AddUser(); }
using forms::res;

// A save reads the user-file list all through its run, and a search adds to
// it at its end: neither starts while the other runs.
bool busy() { return save::OperationRunning() || searchRunning(); }

void putUserFilesBack() {
  auto& files = windows::UserFiles();
  if (files.loaded()) files.setWindowState(forms::WindowState::Normal);
}

void searchClicked() {
  if (busy()) return;
  auto& files = windows::UserFiles();
  core::state().SettingsSaved = false;
  criteria().setWindowState(forms::WindowState::Normal);
  files.setWindowState(forms::WindowState::Minimized);
  criteria().show();
  criteria().Combo1.setFocus();
  files.Command1.setEnabled(true);
  files.refresh();
}

void loaded() {
  auto& a = criteria();
  a.setHelpContextId(kHelpContext);
  a.setCaption(res(1191));
  a.Frame1.setCaption(res(1187));
  a.Frame2.setCaption(res(1190));
  a.Command2.setCaption("&" + res(1109));
  a.Check1.setCaption(res(1188));
  a.Command1.setCaption("&OK");
  a.Command3.setCaption("&" + res(1092));
  a.Command4.setCaption("&" + res(1516));
  LoadAddUserSettings();
}

// The folder chosen joins the folders once (compared without regard to case)
// and becomes the chosen one.
void browseClicked() {
  if (busy()) return;
  std::string folder = forms::dialogService().browseForFolder(res(1224));
  folder = folder.substr(0, folder.find('\0'));
  if (folder.empty()) return;
  if (folder.rfind("\\\\", 0) == 0) forms::msgBox(res(1168), forms::vbOKOnly);
  folder = platform::withTrailingBackslash(folder);
  core::state().SearchFolder = folder;
  auto& folders = criteria().Combo2;
  bool listed = false;
  for (int i = 0; i < folders.listCount(); ++i) {
    if (platform::upperCase(folders.list(i)) != platform::upperCase(folder)) continue;
    folders.setListIndex(i);
    listed = true;
  }
  if (listed) return;
  folders.addItem(folder);
  folders.setListIndex(folders.listCount() - 1);
}

void okClicked() {
  if (busy()) return;
  auto& a = criteria();
  auto& scan = windows::frmDrvScan();
  a.setEnabled(false);
  SaveAddUserSettings();
  forms::doEvents();
  scan.show();  // the search runs while the window loads
  forms::doEvents();
  scan.unload();
  forms::doEvents();
  a.unload();
  forms::doEvents();
  putUserFilesBack();
}

void cancelClicked() {
  if (busy()) return;
  putUserFilesBack();
  criteria().hide();
}

}  // namespace

void bindSearchDialog() {
  auto& a = criteria();
  windows::UserFiles().Command5.onClick = searchClicked;
  a.onLoad = loaded;
  a.Combo2.onKeyPress = [](int&) { criteria().Command1.setEnabled(true); };
  a.Command2.onClick = browseClicked;
  a.Command1.onClick = okClicked;
  a.Command3.onClick = cancelClicked;
  a.Command4.onClick = [] {
    if (!busy()) forms::sendKeys("{F1}", true);
  };
  // The close box unloads the dialog (the next Search reads the history
  // afresh), but not over a running search.
  a.onQueryUnload = [](bool& cancel, int unloadMode) {
    if (unloadMode == 0 && searchRunning()) cancel = true;
  };
  a.onUnload = [](bool&) { putUserFilesBack(); };
  bindFileSearch();
}

}  // namespace userfiles
