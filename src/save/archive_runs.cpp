#include "save/archive_runs.h"

#include "core/inifile.h"
#include "core/runner.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "save/save_messages.h"
#include "save/save_status.h"
#include "windows/form1.h"

namespace save {

namespace {

constexpr char kQuote = '"';

std::string inQuotes(std::string_view text) { return std::string(1, kQuote) + std::string(text) + kQuote; }

struct RunRow {
  Group group;
  const char* suffix;
  const char* options;
  int status;
  int step;
};

// One row per run, in run order.
constexpr RunRow kRows[] = {
    {Group::StartMenu, "s", "qurS ", 1231, 1},   {Group::System, "", "gqoruS ", 1227, 2},
    {Group::User, "us", "gqorumS ", 1228, 3},    {Group::AddressBook, "ma", "q ", 1254, 4},
    {Group::Favorites, "mb", "qurS ", 1255, 5},  {Group::IECookies, "mc", "qurgS ", 1256, 6},
    {Group::OEMail, "mx", "qurgS ", 1257, 7},    {Group::NSBookmarks, "na", "qgurS ", 1258, 8},
    {Group::NSCookies, "na", "qgurS ", 1259, 9}, {Group::NSMail, "na", "qgurS ", 1260, 10},
    {Group::NSNews, "nw", "qurgS ", 1260, 10},
};

// The source argument of a group's run, "" when the group is not to be saved.
std::string sourceOf(const RunInputs& in, Group group) {
  const std::string startMenu = MachineFolder(in.startMenu), favorites = MachineFolder(in.favorites),
                    cookies = MachineFolder(in.cookies), addressBook = MachineFolder(in.addressBook),
                    oeMail = MachineFolder(in.oeMail), netscape = MachineFolder(in.netscape);
  switch (group) {
    case Group::StartMenu: return in.startMenuBox && !startMenu.empty() ? inQuotes(startMenu + "*.*") : "";
    case Group::System: {
      // Unquoted as it always was; quoted only where a blank would split it.
      const std::string folder = in.tempDir + "kelvaran\\*.*";
      return folder.find(' ') == std::string::npos ? folder : inQuotes(folder);
    }
    case Group::User: return in.userFiles ? inQuotes(in.tempDir + "kelvaran\\User\\*.*") : "";
    case Group::AddressBook: return in.addressBookBox && !addressBook.empty() ? inQuotes(addressBook) : "";
    case Group::Favorites: return in.favoritesBox && !favorites.empty() ? inQuotes(favorites + "*.*") : "";
    case Group::IECookies: return in.ieCookiesBox && !cookies.empty() ? inQuotes(cookies + "*.*") : "";
    case Group::OEMail: return in.oeMailBox && !oeMail.empty() ? inQuotes(oeMail + "*.*") : "";
    case Group::NSBookmarks:
      return in.nsBookmarksBox && !netscape.empty() ? inQuotes(netscape + "\\Bookmark.htm") : "";
    case Group::NSCookies:
      return in.nsCookiesBox && !netscape.empty() ? inQuotes(netscape + "\\Cookies.txt") : "";
    case Group::NSMail: return in.nsMailBox && !netscape.empty() ? inQuotes(netscape + "\\Mail\\*.*") : "";
    case Group::NSNews: return in.nsNewsBox && !netscape.empty() ? inQuotes(netscape + "\\News\\*.*") : "";
  }
  return "";
}

// Whether a run's source names anything to pack: a file, or a folder
// pattern matching at least one entry (hidden and system ones too).
bool sourceHoldsSomething(std::string_view source) {
  std::string path(source);
  if (path.size() >= 2 && path.front() == kQuote && path.back() == kQuote)
    path = path.substr(1, path.size() - 2);
  try {
    if (path.find_first_of("*?") == std::string::npos) return platform::pathExists(path);
    for (const platform::DirEntry& entry :
         platform::findFiles(path, platform::kDirectory | platform::kHidden | platform::kSystem))
      if (entry.name != "." && entry.name != "..") return true;
  } catch (const platform::RuntimeError&) {
  }
  return false;
}

}  // namespace

const std::vector<std::string>& ArchiveSuffixes() {
  static const std::vector<std::string> suffixes{"", "s", "us", "mc", "mb", "ma", "mx", "na", "nw"};
  return suffixes;
}

std::string ArchiveName(int slotNumber, std::string_view suffix) {
  return "Conf" + std::to_string(slotNumber) + std::string(suffix) + ".kvz";
}

std::vector<ArchiveRun> PlanRuns(const RunInputs& inputs, Group group) {
  std::vector<ArchiveRun> runs;
  for (const RunRow& row : kRows) {
    if (row.group != group) continue;
    std::string source = sourceOf(inputs, group);
    if (source.empty()) continue;
    runs.push_back({group, ArchiveName(inputs.slotNumber, row.suffix), row.options, std::move(source),
                    row.status, row.step});
  }
  return runs;
}

std::string ZipCommandLine(std::string_view compressionLevel, std::string_view options,
                           std::string_view archivePath, std::string_view source) {
  return "zip.exe -" + platform::vb::trim(compressionLevel) + std::string(options) + inQuotes(archivePath) +
         " " + std::string(source);
}

std::string MachineFolder(std::string_view value) {
  return value == "NONE" ? std::string() : std::string(value);
}

ZipOutcome JudgeZipExit(int exitCode) {
  switch (exitCode) {
    case 0: return ZipOutcome::Saved;
    case 12: return ZipOutcome::NothingToDo;
    case 18: return ZipOutcome::SomeFilesUnreadable;
    case 14:
    case 15: return ZipOutcome::DiskFull;
    default: return ZipOutcome::Failed;
  }
}

RunOutcome RunArchive(const ArchiveRun& run, std::string_view archiveFolder) {
  auto& st = core::state();
  const std::string archivePath = std::string(archiveFolder) + run.archive;
  st.CommandLine = ZipCommandLine(st.CompressionLevel.empty() ? "1" : st.CompressionLevel, run.options,
                                  archivePath, run.source);
  SetStatus(forms::loadResString(run.statusMessage) + forms::loadResString(1019));
  windows::Form1().StatusBar1.refresh();
  st.ShellCommand = st.CommandLine;

  RunOutcome outcome;
  int startError = 0;
  try {
    outcome.exitCode = core::ShellAndWait(st.ShellCommand);
    outcome.zip = JudgeZipExit(outcome.exitCode);
  } catch (const platform::RuntimeError& error) {
    startError = error.number();
    outcome.zip = ZipOutcome::Failed;
  }
  // "Nothing to do" is an empty group only when the source holds nothing.
  if (outcome.zip == ZipOutcome::NothingToDo && sourceHoldsSomething(run.source))
    outcome.zip = ZipOutcome::Failed;
  SetProgress(run.step);
  forms::doEvents();

  const std::string context = run.archive + " Save";
  switch (outcome.zip) {
    case ZipOutcome::Saved: break;
    case ZipOutcome::NothingToDo: core::WriteErrorLog(platform::kFileNotFound, context); break;
    case ZipOutcome::SomeFilesUnreadable:
      core::WriteErrorLog(platform::kDeviceIoError, context);
      ShowArchiveIncomplete(run.archive);
      break;
    case ZipOutcome::DiskFull:
      core::WriteErrorLog(platform::kDiskFull, context);
      ShowDiskFull();
      break;
    case ZipOutcome::Failed:
      core::WriteErrorLog(startError ? startError : platform::kDeviceIoError, context);
      ShowArchiveFailed(run.archive, startError);
      break;
  }
  return outcome;
}

}  // namespace save
