#include "userfiles/file_search.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "core/animate.h"
#include "core/userlist.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/forms.h"
#include "forms/messages.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/vb_convert.h"
#include "platform/wildcard.h"
#include "userfiles/search_history.h"
#include "windows/adduser.h"
#include "windows/frmdrvscan.h"
#include "windows/userfiles.h"

namespace userfiles {
namespace {

constexpr int kSearchClip = 110;
constexpr int kHourglass = 11;
constexpr int kEsc = 27;
// The system's file search takes paths of at most 259 characters: a folder
// deeper than that gives nothing (which also ends a loop of linked folders).
constexpr std::size_t kMaxPath = 260;
// Where the designer keeps the list and Stop from the window's edges.
constexpr int kEdge = 5;
constexpr int kStopBottom = 8;
constexpr int kListToStop = 6;

struct Search {
  bool running = false;    // load to offer
  bool searching = false;  // the walk goes on while True
  bool subfolders = false;
  std::string pattern;
  core::SysAnimate32 clip;
  std::chrono::milliseconds lookEvery = kDefaultYieldInterval;
  std::chrono::steady_clock::time_point lastLook;
  int shownHits = 0;  // the hits the list was last scrolled to
};

Search& search() {
  static Search s;
  return s;
}

windows::FrmDrvScanWindow& window() { return windows::frmDrvScan(); }
using forms::res;

bool goingOn() { return search().searching && window().loaded(); }

bool matches(const platform::DirEntry& entry) {
  const std::string& pattern = search().pattern;
  return platform::matchWildcard(pattern, entry.name) ||
         (!entry.shortName.empty() && platform::matchWildcard(pattern, entry.shortName));
}

// The walk's yield: every few milliseconds the hits so far are scrolled
// into view and painted, with the folder line, and what the user did (Stop,
// Esc, the close box) is taken; in between the list is not painted, so a
// hit costs no repaint and a folder no scroll.
void lookAfterWindow(bool now = false) {
  auto& s = search();
  if (!now && std::chrono::steady_clock::now() - s.lastLook < s.lookEvery) return;
  auto& list = window().List1;
  const int hits = list.listCount();
  if (hits > s.shownHits) list.setTopIndex(hits - 1);
  s.shownHits = hits;
  list.setRedraw(true);
  forms::doEvents();
  if (window().loaded()) list.setRedraw(false);
  s.lastLook = std::chrono::steady_clock::now();
}

// A folder's hits join the list in one go, as far as the walk got.
void addMatchingFiles(const std::string& folder, const std::vector<platform::DirEntry>& entries) {
  std::vector<std::string> hits;
  for (const platform::DirEntry& entry : entries) {
    if (!matches(entry)) continue;
    lookAfterWindow();
    if (!goingOn()) break;
    if (!(entry.attributes & platform::kDirectory)) hits.push_back(folder + entry.name);
  }
  if (window().loaded()) window().List1.addItems(hits);
}

// One folder (ending with "\"): its hits, then each sub-folder in the order
// the folder lists them. Names beginning with "." are no sub-folders.
void scanFolder(const std::string& folder) {
  window().Label2.setCaption(folder);
  lookAfterWindow();
  if (!goingOn()) return;
  std::vector<platform::DirEntry> entries;
  if (folder.size() + 3 < kMaxPath)
    entries =
        platform::findNames(folder + "*.*", platform::kHidden | platform::kSystem | platform::kDirectory);
  std::vector<std::string> subfolders;
  for (const platform::DirEntry& entry : entries)
    if ((entry.attributes & platform::kDirectory) && entry.name.front() != '.')
      subfolders.push_back(entry.name);
  addMatchingFiles(folder, entries);
  if (!search().subfolders) search().searching = false;
  for (const std::string& name : subfolders) scanFolder(folder + name + "\\");
}

// The pattern of the chosen file type, else of the typed one, which then
// joins the file types (once) and stands in the box as searched.
std::string chosenPattern() {
  auto& types = windows::AddUser().Combo1;
  if (types.listIndex() >= 0) {
    const std::string chosen = searchPattern(types.list(types.listIndex()));
    if (!chosen.empty()) return chosen;
  }
  const std::string typed = searchPattern(types.text());
  if (typed.empty()) return "";
  bool known = false;
  for (int i = 0; i < types.listCount() && !known; ++i)
    known = platform::upperCase(types.list(i)) == platform::upperCase(typed);
  if (!known) types.addItem(typed);
  types.setText(typed);
  return typed;
}

// The folder typed or chosen, as a full path ending with "\" (which the box
// then shows); "" for an empty box or a name no folder can have.
std::string startFolder() {
  auto& path = windows::AddUser().Combo2;
  const std::string typed = path.text();
  if (typed.find_first_not_of(' ') == std::string::npos) return "";
  std::string folder;
  try {
    folder = platform::fullPath(typed);
  } catch (const platform::RuntimeError&) {
    return "";
  }
  folder = platform::withTrailingBackslash(folder);
  path.setText(folder);
  return folder;
}

void offerHits() {
  auto& w = window();
  auto& s = search();
  const int found = w.List1.listCount();
  const int answer = forms::msgBox(
      res(1312) + " " + platform::vb::str(found) + " " + s.pattern + " " + res(1313) + "\r\r" + res(1314),
      forms::vbYesNo + forms::vbInformation, res(1311));
  if (answer == forms::vbYes) {
    auto& files = windows::UserFiles().List1;
    for (int i = 0; i < found; ++i) {
      const std::string hit = w.List1.list(i);
      if (!hit.empty()) files.addItem(platform::lowerCase(hit));
    }
  }
  core::SaveUserList();
  forms::doEvents();
  SaveAddUserSettings();
  forms::doEvents();
  core::ShowUserListCount();
  if (w.loaded()) w.List1.clear();
}

void runSearch() {
  auto& w = window();
  auto& s = search();
  s.pattern = chosenPattern();
  if (s.pattern.empty()) {
    forms::msgBox(res(1241), forms::vbOKOnly);
    return;
  }
  s.subfolders = windows::AddUser().Check1.value() != 0;
  w.setMousePointer(kHourglass);
  s.searching = true;
  w.List1.clear();
  const std::string folder = startFolder();
  s.shownHits = 0;
  lookAfterWindow(true);
  try {
    if (s.searching && !folder.empty()) scanFolder(folder);
  } catch (const platform::RuntimeError&) {
    // A folder that cannot be read ends the walk; the hits so far stand.
  }
  s.searching = false;
  if (!w.loaded()) return;
  if (w.List1.listCount() > 0) w.List1.setTopIndex(w.List1.listCount() - 1);
  w.List1.setRedraw(true);
  w.setMousePointer(0);
  w.Label2.setCaption("");
  s.clip.Destroy();
  forms::beep();
  offerHits();
}

void loaded() {
  auto& w = window();
  auto& s = search();
  s.running = true;
  forms::doEvents();
  w.show();
  forms::doEvents();
  w.Label1.setCaption(res(1315) + " " + res(1316) + "\r" + res(1019));
  s.clip.Create(w.widget(), kSearchClip, 280, 5, 100, 40);
  s.clip.pPlay();
  forms::doEvents();
  try {
    runSearch();
  } catch (...) {
    s.running = false;
    s.searching = false;
    throw;
  }
  s.running = false;
}

// The list takes what the window gains or loses; Stop keeps to the bottom
// right corner and the folder line to the width.
void resized() {
  auto& w = window();
  const int width = w.width();
  const int height = w.height();
  w.Command1.move(std::max(0, width - kEdge - w.Command1.width()),
                  std::max(0, height - kStopBottom - w.Command1.height()));
  w.List1.resize(std::max(0, width - kEdge - w.List1.left()),
                 std::max(0, w.Command1.top() - kListToStop - w.List1.top()));
  w.Label2.resize(std::max(0, width - kEdge - w.Label2.left()), w.Label2.height());
}

}  // namespace

bool searchRunning() { return search().running; }

void setYieldInterval(std::chrono::milliseconds interval) { search().lookEvery = interval; }

void bindFileSearch() {
  auto& w = window();
  w.onLoad = loaded;
  w.Command1.onClick = [] { search().searching = false; };
  w.onKeyDown = [](int& keyCode, int) {
    if (keyCode == kEsc) search().searching = false;
  };
  w.onResize = resized;
  // Closing the window stops the walk; the window stays for the offer.
  w.onQueryUnload = [](bool& cancel, int unloadMode) {
    if (unloadMode != 0 || !search().running) return;
    search().searching = false;
    cancel = true;
  };
  w.onUnload = [](bool&) {
    search().clip.Destroy();
    forms::setMousePointer(0);
    forms::doEvents();
  };
}

}  // namespace userfiles
