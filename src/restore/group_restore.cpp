#include "restore/group_restore.h"

#include "core/inifile.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/status_bar.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "restore/restore_boxes.h"
#include "restore/user_restore.h"
#include "windows/form1.h"

namespace restore {

namespace {

using forms::loadResString;

constexpr char kCr = '\r';
constexpr char kQuote = '"';
constexpr int kQuestionStyle = forms::vbYesNo + forms::vbCritical + forms::vbDefaultButton2;  // 276

using core::setStatus;

StepEnd goOnOrStop(int answer) { return answer == forms::vbYes ? StepEnd::Continue : StepEnd::Abort; }

// The group has no usable place on this machine or its archive is unfit.
StepEnd askUnusable(int groupMessage) {
  return goOnOrStop(forms::msgBox(loadResString(groupMessage) + kCr + kCr + loadResString(1210),
                                  kQuestionStyle, loadResString(1005)));
}

std::string known(const std::string& value) { return value == "NONE" ? std::string() : value; }

}  // namespace

StepEnd AskMissingArchive(const std::string& quotedArchive, int groupMessage) {
  return goOnOrStop(forms::msgBox(loadResString(1064) + kCr + quotedArchive + kCr +
                                      loadResString(groupMessage) + kCr + kCr + loadResString(1210),
                                  kQuestionStyle, loadResString(1005)));
}

GroupFolders GroupFoldersFor(const LoadedConfiguration& loaded) {
  const auto& st = core::state();
  return {st.TempDir,    loaded.PathStartmenue, loaded.PathFavorites, loaded.PathNetscape,
          st.CookiesDir, st.AddressBookFile,    st.OEMailDir};
}

std::string QuotedArchive(std::string_view archiveFolder, int slotNumber, UnzipGroup group) {
  return kQuote + std::string(archiveFolder) + "Conf" + std::to_string(slotNumber) + RowOf(group).suffix +
         ".kvz" + kQuote;
}

GroupEnd RunUnzipGroup(UnzipGroup group, const std::string& quotedArchive, const GroupFolders& folders,
                       const std::string& stepText, const std::string& statusBeforeRun,
                       const std::function<void(UnzipPlan& plan, Unpack& unpack)>& place) {
  auto& st = core::state();
  const UnzipRow& row = RowOf(group);
  const std::string context = stepText + " Restore";
  GroupEnd result;
  const bool leftOutBefore = st.RestoreLeftOut;
  // Every way out but a run that put the members back leaves the group out.
  st.RestoreLeftOut = true;

  UnzipPlan plan = PlanUnzip(group, folders);
  if (!plan.problem.empty()) {
    core::WriteErrorLog(platform::kPathNotFound, context);
    result.end = askUnusable(row.missingMessage);
    return result;
  }
  std::string archive;
  try {
    archive = core::StripQuotes(quotedArchive);
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, context);
  }
  if (archive.empty() || !platform::fileExists(archive)) {
    result.end = AskMissingArchive(quotedArchive, row.missingMessage);
    return result;
  }
  Unpack unpack = GroupUnpack(group, archive, plan.target);
  if (place) place(plan, unpack);
  const std::string line = CommandLineOf(UnpackArguments(unpack));
  if (line.empty() || !MemberProblem(archive, unpack.target, plan.folder).empty()) {
    core::WriteErrorLog(platform::kBadFileNameOrNumber, context);
    result.end = askUnusable(row.missingMessage);
    return result;
  }

  if (!statusBeforeRun.empty()) {
    setStatus(statusBeforeRun);
    windows::Form1().StatusBar1.refresh();
  }
  const int failure = UnpackArchive(unpack);
  if (group != UnzipGroup::AddressBook) forms::doEvents();
  if (failure == 0) {
    st.RestoreDone = true;
    st.RestoreLeftOut = leftOutBefore;
    result.restored = true;
    return result;
  }
  core::WriteErrorLog(failure, context);
  forms::msgBox(loadResString(row.missingMessage), forms::vbOKOnly + forms::vbCritical, loadResString(1005));
  return result;
}

StepEnd RestoreUserFileGroup(const std::string& archiveFolder, int slotNumber, const GroupFolders& folders) {
  auto& st = core::state();
  const std::string workFolder = folders.tempDir + "kelvaran\\";
  const std::string userFolder = workFolder + "User\\";
  st.UserIniPath = userFolder + "User.ini";
  if (!UserFileSelected()) return StepEnd::Continue;

  const std::string stepText = loadResString(1117) + " UserFiles";
  setStatus(stepText);
  // The copies were staged in the saving machine's working folder; when that
  // is not this one's, they are unpacked aside and moved into it.
  std::string savedFolder = userFolder.substr(3);
  const auto place = [&](UnzipPlan& plan, Unpack& unpack) {
    const std::string staged = StagedUserFolder(unpack.archive);
    if (staged.empty() || platform::equalsNoCase(staged, savedFolder)) return;
    savedFolder = staged;
    unpack.target = workFolder + "Unpack\\";
    unpack.from = staged;
    unpack.into = userFolder;
    plan.folder = unpack.target + staged;
    RemoveUnpackFolder(userFolder);
  };
  const GroupEnd run =
      RunUnzipGroup(UnzipGroup::UserFiles, QuotedArchive(archiveFolder, slotNumber, UnzipGroup::UserFiles),
                    folders, stepText, "", place);
  if (run.end == StepEnd::Abort) return StepEnd::Abort;
  // Without a fresh unpack no copy is taken: an older run's may still be there.
  if (run.restored) CopyUserFilesBack(st.UserIniPath, userFolder, workFolder, savedFolder);
  return StepEnd::Continue;
}

StepEnd RestoreOtherGroups(const std::string& archiveFolder, int slotNumber, const GroupFolders& folders) {
  const std::string netscape = known(folders.netscape);
  const std::string microsoft = loadResString(1234);
  const std::string netscapeFiles = loadResString(1235);
  const std::string messenger = loadResString(1519) + " " + loadResString(1502) + loadResString(1019);
  const std::string updating = loadResString(1117);
  const auto inQuotes = [](const std::string& text) { return kQuote + text + kQuote; };

  struct Step {
    UnzipGroup group;
    bool wanted;
    std::string text;  // step text; also the status before the check unless `textOnly`
    bool textOnly;
    std::string status;  // status right before the run ("" unchanged)
  };
  const Step steps[] = {
      {UnzipGroup::StartMenu, Ticked(20), updating + " Start Menu", false, ""},
      {UnzipGroup::AddressBook, Ticked(18), loadResString(1114), false, ""},
      {UnzipGroup::Favorites, Ticked(11), updating + " Bookmarks", false, ""},
      {UnzipGroup::IECookies, Ticked(19), updating + " Cookies", false, ""},
      {UnzipGroup::OEMail, Ticked(21), updating + " Mailbox", false, microsoft},
      {UnzipGroup::NSBookmarks, Ticked(10) && !netscape.empty(), inQuotes(netscape + "\\Bookmark.htm"), true,
       netscapeFiles},
      {UnzipGroup::NSCookies, Ticked(22) && !netscape.empty(), inQuotes(netscape + "\\Cookies.txt"), true,
       netscapeFiles},
      {UnzipGroup::NSMail, Ticked(23) && !netscape.empty(), inQuotes(netscape + "\\Mail\\*"), true,
       messenger},
      {UnzipGroup::NSNews, Ticked(17) && !netscape.empty(), inQuotes(netscape + "\\News"), true, messenger},
  };
  for (const Step& step : steps) {
    if (!step.wanted) continue;
    if (!step.textOnly) setStatus(step.text);
    const GroupEnd run = RunUnzipGroup(step.group, QuotedArchive(archiveFolder, slotNumber, step.group),
                                       folders, step.text, step.status);
    if (run.end == StepEnd::Abort) return StepEnd::Abort;
  }
  return StepEnd::Continue;
}

StepEnd RestoreFileGroups(const std::string& archiveFolder, const LoadedConfiguration& loaded) {
  const GroupFolders folders = GroupFoldersFor(loaded);
  if (RestoreUserFileGroup(archiveFolder, loaded.slot, folders) == StepEnd::Abort) return StepEnd::Abort;
  return RestoreOtherGroups(archiveFolder, loaded.slot, folders);
}

}  // namespace restore
