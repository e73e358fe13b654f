#include "save/save_engine.h"

#include <string>

#include "core/inifile.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/startup.h"
#include "core/state.h"
#include "core/userlist.h"
#include "core/wininit_pending.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "platform/vb_datetime.h"
#include "save/archive_runs.h"
#include "save/boxes.h"
#include "save/description_writer.h"
#include "save/save_messages.h"
#include "save/save_status.h"
#include "save/slot_commit.h"
#include "save/spanning.h"
#include "save/staging.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace save {

namespace {

using forms::loadResString;
const char kCr = '\r';

bool running = false;

class RunningFlag {
 public:
  RunningFlag() { running = true; }
  ~RunningFlag() { running = false; }
};

std::string programFolder() { return forms::appPath() + "\\"; }

void showSaveFolder() { windows::Form1().Text2.setText(core::ShortenPath(core::state().SaveFolder, 49)); }

// ---- destination checks ----------------------------------------------------

enum class Go { On, Stop };

Go missingFolder() {
  auto& st = core::state();
  const int answer = forms::msgBox(loadResString(1111) + kCr + st.SaveFolder + kCr + loadResString(1184),
                                   forms::vbOKCancel + forms::vbCritical, loadResString(1005));
  if (answer == forms::vbOK) {
    core::Makepath(st.SaveFolder);
    showSaveFolder();
    return platform::folderExists(st.SaveFolder) ? Go::On : Go::Stop;
  }
  showSaveFolder();
  st.SaveFolder = programFolder();
  const int fallback = forms::msgBox(
      loadResString(1111) + kCr + loadResString(1112) + kCr + st.SaveFolder + kCr + loadResString(1113),
      forms::vbOKCancel + forms::vbCritical + forms::vbDefaultButton2, loadResString(1005));
  showSaveFolder();
  return fallback == forms::vbOK ? Go::On : Go::Stop;
}

Go checkOnce() {
  auto& st = core::state();
  const std::string type = st.SysInfo.DriveType(platform::vb::uCase(platform::vb::left(st.SaveFolder, 3)));
  if (type == "Network drive") forms::msgBox(loadResString(1168), forms::vbOKOnly, "");
  if (type == "Removable drive" && !InsertFirstDisk()) return Go::Stop;
  st.SpanTargetRoot.clear();
  if (!platform::folderExists(st.SaveFolder) && missingFolder() == Go::Stop) return Go::Stop;
  DecideSpanning();
  return Go::On;
}

// The destination checks, with their error handler: a drive that is not
// ready may be retried, a full disk or a file in use end the save.
Go checkDestination() {
  while (true) {
    try {
      return checkOnce();
    } catch (const platform::RuntimeError& error) {
      core::WriteErrorLog(error.number(), " Save");
      switch (error.number()) {
        case platform::kBadFileNameOrNumber:
        case platform::kDeviceUnavailable:
        case platform::kDiskNotReady:
          if (forms::msgBox(loadResString(1179) + kCr + loadResString(1180),
                            forms::vbRetryCancel + forms::vbCritical, loadResString(1005)) == forms::vbRetry)
            continue;
          return Go::Stop;
        case platform::kDiskFull:
          ShowDiskFull();
          core::ExitProgram();
          return Go::Stop;
        case platform::kFileAlreadyOpen:
          forms::msgBox(loadResString(1037) + kCr + loadResString(1038), forms::vbOKOnly + forms::vbCritical,
                        loadResString(1011));
          core::ExitProgram();
          return Go::Stop;
        default: return Go::Stop;
      }
    }
  }
}

// ---- the run ---------------------------------------------------------------

RunInputs runInputs(bool userFiles) {
  const auto& st = core::state();
  auto& u = windows::UserFiles();
  RunInputs in;
  in.slotNumber = st.currentSlot();
  in.compressionLevel = st.CompressionLevel.empty() ? "1" : st.CompressionLevel;
  in.tempDir = st.TempDir;
  in.startMenu = st.machine.PathStartmenue;
  in.favorites = st.machine.PathFavorites;
  in.netscape = st.machine.PathNetscape;
  in.cookies = st.CookiesDir;
  in.addressBook = st.AddressBookFile;
  in.oeMail = st.OEMailDir;
  in.startMenuBox = Chosen(windows::Form1().Check1);
  in.userFiles = userFiles;
  in.addressBookBox = Chosen(u.Check1);
  in.favoritesBox = u.Check12.value() != 0;
  in.ieCookiesBox = Chosen(u.Check2);
  in.oeMailBox = Chosen(u.Check3);
  in.nsBookmarksBox = u.Check11.value() != 0;
  in.nsCookiesBox = u.Check4.value() != 0;
  in.nsMailBox = u.Check5.value() != 0;
  in.nsNewsBox = u.Check6.value() != 0;
  return in;
}

// Which description flag a group's archive stands for.
void markSaved(SavedFlags& saved, Group group) {
  switch (group) {
    case Group::StartMenu: saved.system[systemFlag("Startmenue")] = true; break;
    case Group::NSBookmarks: saved.user[userFlag("NSCBookmark")] = true; break;
    case Group::Favorites: saved.user[userFlag("MSEFavorites")] = true; break;
    case Group::AddressBook: saved.user[userFlag("MSEAdressbook")] = true; break;
    case Group::IECookies: saved.user[userFlag("MSECookies")] = true; break;
    case Group::OEMail: saved.user[userFlag("MSEMailbox")] = true; break;
    case Group::NSCookies: saved.user[userFlag("NSCCookies")] = true; break;
    case Group::NSMail: saved.user[userFlag("NSCMail")] = true; break;
    case Group::NSNews: saved.user[userFlag("NSCNews")] = true; break;
    case Group::System:
    case Group::User: break;
  }
}

class SaveRun {
 public:
  SaveRun() : build_(core::state().SaveFolder, core::state().currentSlot()) {}

  // Everything between the destination checks and the finish; false when
  // the save failed or was cancelled (its messages shown).
  bool work() {
    auto& st = core::state();
    build_.prepare();
    work_ = st.TempDir + "kelvaran\\";
    prepareWorkingFolder();
    smartFolder_ = core::IsSmartSaveFolder(st.SaveFolder);
    enterProgramFolder();

    if (!runGroup(runInputs(false), Group::StartMenu)) return false;

    SetStatus(loadResString(1227) + loadResString(1019));
    const SystemStaging system = StageSystemFiles(st.machine.SystemPath, work_, smartFolder_);
    if (system.end != StagingEnd::Done) return false;
    bool systemSaved = false;
    if (!runGroup(runInputs(false), Group::System, &systemSaved)) return false;
    if (systemSaved) markSystemFiles(system);

    bool userFiles = false;
    try {
      core::LoadUserList();
      userFiles = windows::UserFiles().List1.listCount() > 0;
    } catch (const platform::RuntimeError& error) {
      core::WriteErrorLog(error.number(), " Save");
    }
    if (userFiles) {
      SetStatus(loadResString(1228) + loadResString(1019));
      const std::string userFolder = work_ + "User\\";
      st.UserIniPath = userFolder + "User.ini";
      core::Makepath(userFolder);
      const UserStaging users = StageUserFiles(userFolder, st.UserIniPath);
      if (users.end != StagingEnd::Done) return false;
      if (!runGroup(runInputs(users.staged > 0), Group::User)) return false;
    }

    const RunInputs in = runInputs(userFiles);
    for (Group group : {Group::AddressBook, Group::Favorites, Group::IECookies, Group::OEMail,
                        Group::NSBookmarks, Group::NSCookies, Group::NSMail, Group::NSNews}) {
      if (!runGroup(in, group)) return false;
    }
    SetProgress(10);
    RemoveTree(work_, true);
    return true;
  }

  // Writes the description into the build folder and puts the new set in
  // place; false (message shown) when that failed.
  bool commit() {
    auto& st = core::state();
    const int n = st.currentSlot();
    // A save onto a small removable disk moves its archives over the disks first.
    const bool spanned = !st.SpanTargetRoot.empty();
    DiskSpan span(n);
    if (spanned && !span.moveArchives(build_.folder(), build_.descriptionPath())) {
      keepArchives_ = true;
      return false;
    }
    DescriptionValues values;
    values.osv = st.SmartSaveRunning ? st.ConfigOSV(n) : windows::Form1().Label5.caption();
    values.configName = st.ConfigNames(n);
    values.systemPath = st.machine.SystemPath;
    values.saveFolder = st.SaveFolder;
    values.favorites = st.machine.PathFavorites;
    values.netscape = st.machine.PathNetscape;
    values.startMenu = st.machine.PathStartmenue;
    values.saved = saved_;
    // The description beside the archives follows the folder really used.
    st.ConfigIniPath = st.SaveFolder + "Config" + std::to_string(n) + ".ini";
    try {
      SaveCINI(build_.descriptionPath(), values);
      if (spanned) {
        if (!span.placeDescriptions(build_.descriptionPath(), st.ConfigIniPath)) return false;
        build_.commit(st.IniPath, st.IniPath);  // the disk has its copy already
      } else {
        build_.commit(st.IniPath, st.ConfigIniPath);
      }
    } catch (const platform::RuntimeError& error) {
      core::WriteErrorLog(error.number(), "Config" + std::to_string(n) + ".ini Save");
      if (error.number() == platform::kDiskFull) {
        ShowDiskFull();
      } else {
        ShowArchiveFailed("Config" + std::to_string(n) + ".ini", error.number());
      }
      return false;
    }
    if (!st.SmartSaveRunning) {
      st.ConfigDates(n) = st.TodayDate;
      st.ConfigTimes(n) = platform::vb::cStr(platform::vb::time());
      st.ConfigOSV(n) = values.osv;
    }
    return true;
  }

  // A failed or cancelled run leaves nothing of itself behind.
  void discard() {
    if (keepArchives_) {
      DropDescription(build_.descriptionPath());
    } else {
      build_.discard();
    }
    if (!work_.empty()) RemoveTree(work_, true);
  }

 private:
  void prepareWorkingFolder() {
    const auto& st = core::state();
    if (!platform::folderExists(st.TempDir)) core::Makepath(st.TempDir);
    if (!platform::folderExists(work_)) platform::mkDir(work_.substr(0, work_.size() - 1));
    // Leftovers of an earlier run are never packed.
    RemoveTree(work_, false);
  }

  static void enterProgramFolder() {
    const std::string folder = forms::appPath();
    try {
      platform::chDrive(folder.at(0));
      platform::chDir(folder);
    } catch (const std::exception&) {
    }
  }

  void markSystemFiles(const SystemStaging& system) {
    const auto& keys = kSystemDescriptionKeys;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (system.stagedBoxes.count(keys[i].box)) saved_.system[i] = true;
    }
  }

  // The runs of one group; false when one failed (the save ends).
  bool runGroup(const RunInputs& in, Group group, bool* madeArchive = nullptr) {
    for (const ArchiveRun& run : PlanRuns(in, group)) {
      const RunOutcome outcome = RunArchive(run, build_.folder());
      switch (outcome.zip) {
        case ZipOutcome::Saved:
        case ZipOutcome::SomeFilesUnreadable:
          if (platform::fileExists(build_.folder() + run.archive)) {
            markSaved(saved_, group);
            if (madeArchive) *madeArchive = true;
          }
          break;
        case ZipOutcome::NothingToDo: break;
        case ZipOutcome::DiskFull:
        case ZipOutcome::Failed: return false;
      }
    }
    return true;
  }

  SlotBuild build_;
  std::string work_;
  bool smartFolder_ = false;
  SavedFlags saved_;
  bool keepArchives_ = false;  // a disk copy failed: what is not on a disk stays
};

void endRun() {
  forms::doEvents();
  forms::setMousePointer(0);
  windows::Form1().ProgressBar1.setValue(0);
  windows::Form1().ProgressBar2.setValue(0);
}

void abortRun() {
  endRun();
  auto& st = core::state();
  if (!st.SpanTargetRoot.empty()) st.SaveFolder = st.SpanTargetRoot;
  windows::Form1().StatusBar1.refresh();
  windows::Form1().Command2.setEnabled(true);
}

// A restore that waits for the restart, of this run or of an earlier one
// whose restart was refused: Windows will move files out of the working
// folder then, and a save would empty that folder first.
bool restoreAwaitsRestart() {
  const auto& st = core::state();
  return core::WininitMovesFrom(st.machine.SystemPath, st.TempDir + "kelvaran\\");
}

}  // namespace

bool SaveRunning() { return running; }

bool OperationRunning() { return running || core::exitRefused(); }

void ResetSaveControls() {
  auto& f = windows::Form1();
  f.Command2.setEnabled(true);
  f.Command3.setEnabled(true);
  forms::setMousePointer(0);
  f.ProgressBar1.setValue(0);
  f.ProgressBar2.setValue(0);
}

void SaveConfiguration() {
  if (running) return;
  RunningFlag flag;
  auto& st = core::state();
  auto& f = windows::Form1();
  st.SaveSucceeded = false;
  if (restoreAwaitsRestart()) {
    forms::msgBox(loadResString(1014), forms::vbOKOnly + forms::vbExclamation, loadResString(1011));
    return;
  }
  if (checkDestination() == Go::Stop) return;

  forms::setMousePointer(11);
  SetStatus(loadResString(1032) + " " + loadResString(1019));
  f.Command2.setEnabled(false);

  SaveRun run;
  bool done = false;
  try {
    done = run.work() && run.commit();
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error.number(), " Save");
    ShowArchiveFailed(ArchiveName(st.currentSlot(), ""), error.number());
  }
  if (!done) {
    run.discard();
    abortRun();
    return;
  }

  endRun();
  const bool showSuccess = !st.SmartSaveRunning;
  if (st.SmartSaveRunning && !st.SaveFolderBackup.empty()) st.SaveFolder = st.SaveFolderBackup;
  try {
    core::SaveSettings();
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error.number(), " Save");
  }
  forms::doEvents();
  if (showSuccess)
    forms::msgBox(loadResString(1034), forms::vbOKOnly + forms::vbInformation, loadResString(1011));
  f.StatusBar1.setSimpleText(loadResString(1035));
  f.StatusBar1.refresh();
  f.Command2.setEnabled(true);
  st.SaveSucceeded = true;
}

}  // namespace save
