#include "save/staging.h"

#include <cctype>
#include <cstdint>
#include <unordered_map>

#include "core/inifile.h"
#include "core/paths.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/charcase.h"
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

// The staged copies and User.ini's map of them, written once when the staging
// ends: into a new file the lines of one write each are a plain append, so
// the bytes are those of a write per copy. Until then a copy is kept as the
// list row of its item (rows before the one being staged never move: only
// that one may be removed), and its path only when it is not the item's own
// place below the user folder.
//
// What the staging took is looked up by the path below a drive root in upper
// case, one entry for a path whatever its drives: the drives whose item of
// that path was staged, and whether a copy took that path below the user
// folder. An entry is a hash of that path and the row whose item or copy
// spells it, so that paths of one hash are told apart: 16 bytes a file
// instead of a string key in a node.
class StagedCopies {
 public:
  StagedCopies(std::string_view path, std::string_view userFolder, const forms::ListBox& list)
      : path_(path), userFolder_(userFolder), list_(list), slots_(kFirstCapacity) {}

  // True when the item (the same file, in any case) was staged already.
  bool staged(const std::string& item) const {
    const Slot* slot = find(rest(item));
    return slot && (slot->flags & driveBit(item));
  }

  // `upperTarget` is a copy's path in upper case, below the user folder.
  bool taken(const std::string& upperTarget) const {
    const Slot* slot = find(std::string_view(upperTarget).substr(userFolder_.size()));
    return slot && (slot->flags & kCopied);
  }

  // The copy of the item at `row` went to `target`. False when the pair
  // cannot be a profile line.
  bool add(int row, const std::string& item, const std::string& target) {
    if (!platform::ini::writable(std::string_view(kSection), std::string_view(item),
                                 std::string_view(target)))
      return false;
    const auto at = static_cast<std::uint32_t>(row);
    const std::string_view place = std::string_view(target).substr(userFolder_.size());
    const bool own = place == rest(item);
    rows_.push_back(at);
    if (!own) elsewhere_.emplace(at, target);
    slotFor(rest(item), at, false).flags |= driveBit(item);
    slotFor(place, at, !own).flags |= kCopied;
    return true;
  }

  // False when the file could not be written (a full disk).
  bool write() {
    if (rows_.empty()) return true;
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
        forEachPair([&](const std::string& item, const std::string& target) {
          text.append(item).append("=").append(target).append("\r\n");
          if (text.size() < kPiece) return true;
          first ? platform::writeFile(path_, text) : platform::appendFile(path_, text);
          first = false;
          text.clear();
          return true;
        });
        if (first || !text.empty())
          first ? platform::writeFile(path_, text) : platform::appendFile(path_, text);
      } else {  // an older file: each pair written into it as it stands
        bool written = true;
        forEachPair([&](const std::string& item, const std::string& target) {
          written = core::WriteIni(kSection, item, target, path_) != 0;
          return written;
        });
        if (!written) return false;
      }
    } catch (const platform::RuntimeError&) {
      return false;
    }
    rows_.clear();
    return true;
  }

 private:
  static constexpr const char* kSection = "UserFilesSaved";
  static constexpr std::size_t kFirstCapacity = 1024;  // a power of two
  // `flags`: the drives' bits (A = bit 0), kCopied, and kOfCopy when the
  // entry's path is spelt by the copy of its row rather than by its item.
  static constexpr std::uint32_t kCopied = 1u << 30, kOfCopy = 1u << 31;
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t row = 0;
    std::uint32_t flags = 0;  // 0: a free slot
  };

  static std::string_view rest(std::string_view item) { return item.substr(3); }
  static std::uint32_t driveBit(const std::string& item) {
    const int letter = platform::vb::upperChar(item[0]) - 'A';
    return std::uint32_t(1) << (letter >= 0 && letter < 26 ? letter : 26);
  }
  static std::uint64_t hashOf(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the upper case
    for (char c : name)
      hash = (hash ^ static_cast<unsigned char>(platform::vb::upperChar(c))) * 1099511628211ull;
    return hash;
  }
  // The path below the root or the user folder that an entry stands for.
  std::string spelling(const Slot& slot) const {
    if (slot.flags & kOfCopy) return elsewhere_.at(slot.row).substr(userFolder_.size());
    return list_.list(static_cast<int>(slot.row)).substr(3);
  }
  const Slot* find(std::string_view name) const {
    const std::uint64_t hash = hashOf(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].flags; i = (i + 1) & mask) {
      if (slots_[i].hash == hash && platform::equalsNoCase(spelling(slots_[i]), name)) return &slots_[i];
    }
    return nullptr;
  }
  Slot& slotFor(std::string_view name, std::uint32_t row, bool ofCopy) {
    if (Slot* slot = const_cast<Slot*>(find(name))) return *slot;
    if ((used_ + 1) * 4 > slots_.size() * 3) grow();
    const std::uint64_t hash = hashOf(name);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].flags) i = (i + 1) & mask;
    ++used_;
    slots_[i] = {hash, row, ofCopy ? kOfCopy : 0};
    return slots_[i];
  }
  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (!slot.flags) continue;
      std::size_t i = slot.hash & mask;
      while (slots_[i].flags) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }
  template <typename Visit>
  void forEachPair(Visit visit) const {
    for (std::uint32_t row : rows_) {
      const std::string item = list_.list(static_cast<int>(row));
      const auto other = elsewhere_.find(row);
      if (!visit(item, other == elsewhere_.end() ? userFolder_ + item.substr(3) : other->second)) return;
    }
  }

  std::string path_, userFolder_;
  const forms::ListBox& list_;
  std::vector<std::uint32_t> rows_;                           // the staged items' rows, in order
  std::unordered_map<std::uint32_t, std::string> elsewhere_;  // copies not at their item's own place
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
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
  forms::ListBox& list = windows::UserFiles().List1;
  StagedCopies copies(userIniPath, userFolder, list);
  auto diskFull = [&](const std::string& context) {
    core::WriteErrorLog(platform::kDiskFull, context + " Save");
    ShowDiskFull();
    result.end = StagingEnd::DiskFull;
    return result;
  };
  // One run of copies: the machine's bookkeeping is written once, at the end.
  platform::FileBatch batch;
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
    if (copies.staged(item)) {
      ++index;
      continue;
    }
    const std::string target =
        StagedUserPath(userFolder, item, [&](const std::string& upper) { return copies.taken(upper); });
    try {
      const std::string folder = target.substr(0, target.rfind('\\') + 1);
      if (folder != madeFolder) madeFolder = core::Makepath(target) ? folder : std::string();
      platform::fileCopyForReading(item, target);  // zip reads it and deletes it
      if (!copies.add(index, item, target)) platform::raise(platform::kDiskFull);
      ++result.staged;
      ++index;
    } catch (const platform::RuntimeError& error) {
      madeFolder.clear();  // the next copy looks for its folders again
      if (error.number() == platform::kDiskFull) {
        copies.write();
        return diskFull(item);
      }
      const int answer = forms::msgBox(loadResString(1198) + kCr + item + kCr + loadResString(1199),
                                       forms::vbOKCancel + forms::vbCritical, loadResString(1005));
      if (answer != forms::vbOK) {
        copies.write();
        result.end = StagingEnd::Cancelled;
        return result;
      }
      list.removeItem(index);
    }
    forms::doEventsThrottled();
  }
  forms::doEvents();
  if (!copies.write()) return diskFull(std::string(userIniPath));
  return result;
}

}  // namespace save
