#include "save/staging.h"

#include <cctype>
#include <cstdint>
#include <unordered_map>

#include "core/inifile.h"
#include "core/paths.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/replace_file.h"
#include "platform/vb.h"
#include "save/boxes.h"
#include "save/save_messages.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace save {

namespace {

using forms::loadResString;

const char kCr = '\r';

// Handler 2's message for a file that could not be staged.
void showNotFound(const std::string& file, bool smartSaveFolder) {
  std::string text = smartSaveFolder ? loadResString(1155) + " " + file + " " + loadResString(1156)
                                     : file + " " + loadResString(1064);
  text += kCr + loadResString(1154) + kCr + kCr + loadResString(1157);
  forms::msgBox(text,
                forms::vbOKOnly + forms::vbCritical + forms::vbMsgBoxHelpButton + forms::vbDefaultButton2,
                loadResString(1005), kNotFoundHelpContext);
}

bool isDriveLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// User.ini's map of the staged copies, written once when the staging ends:
// into a new file the lines of one write each are a plain append, so the
// bytes are those of a write per copy. Until then each pair is kept as its
// item alone where the copy took the item's own place below the user folder.
class UserIniMap {
 public:
  UserIniMap(std::string_view path, std::string_view userFolder) : path_(path), userFolder_(userFolder) {}

  // False when the pair cannot be a profile line.
  bool add(const std::string& item, const std::string& target) {
    if (!platform::ini::writable(std::string_view(kSection), std::string_view(item),
                                 std::string_view(target)))
      return false;
    pairs_ += item;  // an item holds no "=" (UserFileProblem) and no line end
    if (target != ownPlace(item)) {
      pairs_ += '=';
      pairs_ += target;
    }
    pairs_ += '\n';
    return true;
  }

  // False when the file could not be written (a full disk).
  bool write() {
    if (pairs_.empty()) return true;
    bool fresh = false;
    try {
      fresh = !platform::fileExists(path_) || platform::fileLen(path_) == 0;
    } catch (const platform::RuntimeError&) {
      fresh = false;
    }
    try {
      if (fresh) {
        // Written in pieces, so that the whole text is never held at once.
        constexpr std::size_t kPiece = 64 * 1024;
        std::string text = std::string("[") + kSection + "]\r\n";
        bool first = true;
        forEachPair([&](std::string_view item, std::string_view target) {
          text.append(item).append("=").append(target).append("\r\n");
          if (text.size() < kPiece) return true;
          first ? platform::writeFile(path_, text) : platform::appendFile(path_, text);
          first = false;
          text.clear();
          return true;
        });
        if (first || !text.empty()) first ? platform::writeFile(path_, text) : platform::appendFile(path_, text);
      } else {  // an older file: each pair written into it as it stands
        bool written = true;
        forEachPair([&](std::string_view item, std::string_view target) {
          written = core::WriteIni(kSection, std::string(item), std::string(target), path_) != 0;
          return written;
        });
        if (!written) return false;
      }
    } catch (const platform::RuntimeError&) {
      return false;
    }
    pairs_.clear();
    return true;
  }

 private:
  static constexpr const char* kSection = "UserFilesSaved";
  std::string ownPlace(std::string_view item) const { return userFolder_ + std::string(item.substr(3)); }
  template <typename Visit>
  void forEachPair(Visit visit) const {
    for (std::size_t at = 0; at < pairs_.size();) {
      const std::size_t end = pairs_.find('\n', at);
      const std::string_view pair = std::string_view(pairs_).substr(at, end - at);
      at = end + 1;
      const std::size_t eq = pair.find('=');
      const bool own = eq == std::string_view::npos;
      const std::string_view item = pair.substr(0, eq);
      const std::string target = own ? ownPlace(item) : std::string(pair.substr(eq + 1));
      if (!visit(item, target)) return;
    }
  }
  std::string path_, userFolder_;
  std::string pairs_;  // "item" or "item=target", LF, one a copy
};

// What the staging took so far, by the path below a drive root in upper case
// (one entry for a path whatever its drives): the drives whose item of that
// path was staged, and whether a copy took that path below the user folder.
// One small entry a file instead of a set of items and a set of copies.
class StagedNames {
 public:
  explicit StagedNames(std::string_view userFolder) : folderLength_(userFolder.size()) {}

  // False when the item (the same file, in any case) was staged already.
  bool addItem(const std::string& item) {
    Entry& e = entries_[platform::vb::uCase(item.substr(3))];
    const std::uint32_t bit = driveBit(item);
    if (e.drives & bit) return false;
    e.drives |= bit;
    return true;
  }
  void removeItem(const std::string& item) {
    auto it = entries_.find(platform::vb::uCase(item.substr(3)));
    if (it != entries_.end()) it->second.drives &= ~driveBit(item);
  }
  // `upperTarget` is a copy's path in upper case, below the user folder.
  bool taken(const std::string& upperTarget) const {
    auto it = entries_.find(upperTarget.substr(folderLength_));
    return it != entries_.end() && it->second.copied;
  }
  void addTarget(const std::string& target) { entries_[platform::vb::uCase(target.substr(folderLength_))].copied = true; }

 private:
  struct Entry {
    std::uint32_t drives = 0;
    bool copied = false;
  };
  static std::uint32_t driveBit(const std::string& item) {
    return std::uint32_t(1) << ((platform::vb::upperChar(item[0]) - 'A') & 31);
  }
  std::size_t folderLength_;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace

const std::array<SystemFileRow, 16>& SystemFileRows() {
  static const std::array<SystemFileRow, 16> rows{{
      {8, "Autoexec.bat", false, "autoexec.bat"},
      {13, "Autoexec.dos", false, "autoexec.dos"},
      {9, "Config.sys", false, "config.sys"},
      {14, "Config.dos", false, "config.dos"},
      {10, "Msdos.sys", false, "msdos.sys"},
      {3, "System.ini", true, "system.ini"},
      {5, "Protocol.ini", true, "protocol.ini"},
      {4, "Control.ini", true, "control.ini"},
      {6, "User.dat", true, "user.dat"},
      {7, "System.dat", true, "system.dat"},
      {11, "Classes.dat", true, "classes.dat"},
      {2, "Win.ini", true, "win.ini"},
      {15, "dblspace.ini", false, "dblspace.ini"},
      {16, "drvspace.ini", false, "drvspace.ini"},
      {17, "drvspace.bin", false, "drvspace.bin"},
      {12, "dblspace.bin", false, "dblspace.bin"},
  }};
  return rows;
}

std::string SystemFileSource(const SystemFileRow& row, std::string_view systemPath) {
  return row.inWindows ? std::string(systemPath) + "\\" + row.file : std::string("C:\\") + row.file;
}

std::string UserFileProblem(std::string_view item) {
  if (item.size() < 4 || !isDriveLetter(item[0]) || item[1] != ':' || item[2] != '\\')
    return "not an absolute path";
  if (item.find('=') != std::string_view::npos) return "\"=\" in the path";
  std::string_view rest = item.substr(3);
  while (true) {
    const std::size_t cut = rest.find('\\');
    const std::string_view part = rest.substr(0, cut);
    if (part.empty() || part == "." || part == "..") return "a \".\", \"..\" or empty component";
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
  return "";
}

std::string StagedUserPath(std::string_view userFolder, std::string_view item,
                           const std::set<std::string>& taken) {
  return StagedUserPath(userFolder, item, [&](const std::string& upper) { return taken.count(upper) != 0; });
}

std::string StagedUserPath(std::string_view userFolder, std::string_view item,
                           const std::function<bool(const std::string&)>& taken) {
  const std::string rest(item.substr(3));
  std::string target = std::string(userFolder) + rest;
  const std::string drive(1, platform::vb::upperChar(item[0]));
  for (int k = 1; taken(platform::vb::uCase(target)); ++k) {
    target = std::string(userFolder) + "_" + drive + (k == 1 ? "" : std::to_string(k)) + "\\" + rest;
  }
  return target;
}

SystemStaging StageSystemFiles(std::string_view systemPath, std::string_view workFolder,
                               bool smartSaveFolder) {
  SystemStaging result;
  for (const SystemFileRow& row : SystemFileRows()) {
    if (!Chosen(Form1Box(row.box))) continue;
    try {
      platform::fileCopy(SystemFileSource(row, systemPath), std::string(workFolder) + row.file);
      // A hidden or system original (Msdos.sys) must not be skipped by zip.
      platform::setAttr(std::string(workFolder) + row.file, platform::kNormal);
      result.stagedBoxes.insert(row.box);
    } catch (const platform::RuntimeError& error) {
      core::WriteErrorLog(error.number(), std::string(row.name) + " Save");
      if (error.number() == platform::kDiskFull) {
        ShowDiskFull();
        result.end = StagingEnd::DiskFull;
        return result;
      }
      showNotFound(row.name, smartSaveFolder);
    }
    forms::doEvents();
  }
  return result;
}

UserStaging StageUserFiles(std::string_view userFolder, std::string_view userIniPath) {
  UserStaging result;
  UserIniMap userIni(userIniPath, userFolder);
  auto diskFull = [&](const std::string& context) {
    core::WriteErrorLog(platform::kDiskFull, context + " Save");
    ShowDiskFull();
    result.end = StagingEnd::DiskFull;
    return result;
  };
  forms::ListBox& list = windows::UserFiles().List1;
  // One run of copies: the machine's bookkeeping is written once, at the end.
  platform::FileBatch batch;
  StagedNames names(userFolder);
  // The folder the last copy went to, made then: the next copies of that
  // folder need not look for its folders again.
  std::string madeFolder;
  const int count = list.listCount();
  int index = 0;  // the item being looked at; it stays when an item is removed
  for (int visited = 0; visited < count; ++visited) {
    const std::string item = list.list(index);
    if (item.empty()) {
      ++index;
      continue;
    }
    if (const std::string problem = UserFileProblem(item); !problem.empty()) {
      core::WriteErrorLog(platform::kBadFileNameOrNumber, item + " Save");
      ++index;
      continue;
    }
    // The same file listed twice (names are not case-sensitive) is staged once.
    if (!names.addItem(item)) {
      ++index;
      continue;
    }
    const std::string target =
        StagedUserPath(userFolder, item, [&](const std::string& upper) { return names.taken(upper); });
    try {
      const std::string folder = target.substr(0, target.rfind('\\') + 1);
      if (folder != madeFolder) madeFolder = core::Makepath(target) ? folder : std::string();
      platform::fileCopyForReading(item, target);  // zip reads it and deletes it
      if (!userIni.add(item, target)) platform::raise(platform::kDiskFull);
      names.addTarget(target);
      ++result.staged;
      ++index;
    } catch (const platform::RuntimeError& error) {
      madeFolder.clear();  // the next copy looks for its folders again
      if (error.number() == platform::kDiskFull) {
        userIni.write();
        return diskFull(item);
      }
      const int answer = forms::msgBox(loadResString(1198) + kCr + item + kCr + loadResString(1199),
                                       forms::vbOKCancel + forms::vbCritical, loadResString(1005));
      if (answer != forms::vbOK) {
        userIni.write();
        result.end = StagingEnd::Cancelled;
        return result;
      }
      names.removeItem(item);
      list.removeItem(index);
    }
    forms::doEventsThrottled();
  }
  forms::doEvents();
  if (!userIni.write()) return diskFull(std::string(userIniPath));
  return result;
}

}  // namespace save
