#include "userfiles/userfiles_dialog.h"

#include <string>

#include "core/paths.h"
#include "core/state.h"
#include "core/userlist.h"
#include "forms/forms.h"
#include "forms/messages.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "save/save_engine.h"
#include "userfiles/file_list.h"
#include "userfiles/search_dialog.h"
#include "windows/userfiles.h"

namespace userfiles {

namespace {

constexpr int kHelpContext = 2070;
constexpr int kMenuColour = 4;       // background of a disabled combo box
constexpr int kTitleTextColour = 9;  // background of an enabled combo box

windows::UserFilesWindow& dialog() { return windows::UserFiles(); }

// A folder of the lookup lists that can stand for a real folder.
bool usableFolder(const std::string& folder) {
  return !folder.empty() && !core::hasForbiddenCharacters(folder);
}

// A file (or, with `folders`, a file or folder) of that name exists; a drive
// that cannot be read or a malformed name counts as missing.
bool present(const std::string& path, bool folders) {
  if (core::hasForbiddenCharacters(path)) return false;
  return folders ? platform::pathExists(path) : platform::fileExists(path);
}

// A save reads the boxes and the chosen identity and profile all through its
// run: while one runs, the dialog's choices change nothing.
bool tookBack(forms::CheckBox& box) {
  if (!save::OperationRunning()) return false;
  forms::HoldEvents held;
  box.setValue(box.value() == 0 ? 1 : 0);
  return true;
}

void markUnsaved() {
  core::state().SettingsSaved = false;
  dialog().Command1.setEnabled(true);
}

// The identity box and its label follow the mailbox box, once there is an
// identity to choose.
void mailboxClicked() {
  auto& d = dialog();
  if (tookBack(d.Check3)) return;
  markUnsaved();
  if (d.Combo1.listCount() < 1) return;
  const bool on = d.Check3.value() != 0;
  d.Label3.setEnabled(on);
  d.Combo1.setEnabled(on);
  d.Combo1.setBackColor(on ? kTitleTextColour : kMenuColour);
}

// The mail store of the chosen identity; an identity without one leaves no
// mailbox to save.
void identityChosen() {
  if (save::OperationRunning()) return;
  markUnsaved();
  auto& d = dialog();
  const std::string store = d.List3.list(d.Combo1.listIndex());
  const bool usable = usableFolder(store);
  core::state().OEMailDir = !usable ? "" : platform::withTrailingBackslash(store);
  d.Check3.setEnabled(usable);
}

// The boxes follow what the chosen user's profile folder holds; a user
// without a folder has nothing to save.
void profileChosen() {
  if (save::OperationRunning()) return;
  markUnsaved();
  auto& d = dialog();
  const std::string profile = d.List4.list(d.Combo2.listIndex());
  const bool usable = usableFolder(profile);
  d.Check11.setEnabled(usable && present(profile + "\\Bookmark.htm", false));
  d.Check4.setEnabled(usable && present(profile + "\\Cookies.txt", false));
  d.Check6.setEnabled(usable && present(profile + "\\News", true));
  d.Check5.setEnabled(usable);
  auto& s = core::state();
  if (s.NetscapeUsersDir.empty()) return;
  s.PathNetscape = usable ? profile : "";
  s.machine.PathNetscape = s.PathNetscape;
}

void activated() {
  auto& d = dialog();
  d.setHelpContextId(kHelpContext);
  d.SSTab1.setTab(0);
  core::SetUserListExtent();
  d.setCaption(forms::loadResString(1524));
  core::ShowUserListCount();
  if (d.List1.listCount() == 0) core::LoadUserList();
}

}  // namespace

void bindUserFiles() {
  auto& d = dialog();
  for (auto* box : {&d.Check1, &d.Check2, &d.Check4, &d.Check5, &d.Check6, &d.Check11, &d.Check12})
    box->onClick = [box] {
      if (!tookBack(*box)) markUnsaved();
    };
  d.Check3.onClick = mailboxClicked;
  d.Combo1.onClick = identityChosen;
  d.Combo2.onClick = profileChosen;
  d.onActivate = activated;
  bindFileList();
  bindSearchDialog();
}

}  // namespace userfiles
