#include "save/slot_commit.h"

#include <functional>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/replace_file.h"
#include "platform/vb.h"
#include "save/archive_runs.h"
#include "save/description_writer.h"

namespace save {

namespace {

constexpr int kAnyEntry = platform::kDirectory | platform::kHidden | platform::kSystem | platform::kReadOnly;

std::string fileName(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

void removeFile(const std::string& path) {
  platform::setAttr(path, platform::kNormal);
  platform::kill(path);
}

}  // namespace

void RemoveTree(std::string_view folder, bool self) {
  const std::string base(folder);
  try {
    for (const platform::DirEntry& entry : platform::findFiles(base + "*.*", kAnyEntry)) {
      if (entry.name == "." || entry.name == "..") continue;
      const std::string path = base + entry.name;
      try {
        if (entry.attributes & platform::kDirectory) {
          RemoveTree(path + "\\", true);
        } else {
          removeFile(path);
        }
      } catch (const platform::RuntimeError&) {
      }
    }
    if (self && platform::folderExists(base)) platform::rmDir(base.substr(0, base.size() - 1));
  } catch (const platform::RuntimeError&) {
  }
}

bool SameFile(std::string_view a, std::string_view b) {
  try {
    return platform::vb::uCase(platform::fullPath(a)) == platform::vb::uCase(platform::fullPath(b));
  } catch (const platform::RuntimeError&) {
    return platform::vb::uCase(a) == platform::vb::uCase(b);
  }
}

SlotBuild::SlotBuild(std::string saveFolder, int slotNumber)
    : saveFolder_(std::move(saveFolder)),
      newFolder_(saveFolder_ + "Conf" + std::to_string(slotNumber) + ".new\\"),
      oldFolder_(saveFolder_ + "Conf" + std::to_string(slotNumber) + ".old\\"),
      slot_(slotNumber) {}

std::string SlotBuild::descriptionPath() const {
  return newFolder_ + "Config" + std::to_string(slot_) + ".ini";
}

std::string SlotBuild::livePath(std::string_view archive) const { return saveFolder_ + std::string(archive); }

namespace {

// The commit's journal inside the old-set folder: the slot's live files and
// which of them existed before (written before anything moves), and the mark
// that the new set is wholly in place (with the program-folder copy to
// refresh).
constexpr const char* kJournal = "Swap.lst";
constexpr const char* kSwapDone = "Swap.end";

std::function<void(int)>& stepHook() {
  static std::function<void(int)> hook;
  return hook;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return out;
}

// Refreshes the program-folder copy of the description from the one beside the archives.
void copyDescription(std::string_view iniPath, std::string_view configIni) {
  if (iniPath.empty() || SameFile(iniPath, configIni)) return;
  platform::replaceFile(iniPath, platform::readFile(configIni));
  platform::replaceFile(UsrTwin(iniPath), platform::readFile(UsrTwin(configIni)));
}

}  // namespace

void SetCommitStepHook(std::function<void(int step)> hook) { stepHook() = std::move(hook); }

void SlotBuild::step() {
  ++steps_;
  if (stepHook()) stepHook()(steps_);
}

void SlotBuild::recover() {
  if (!platform::folderExists(oldFolder_)) return;
  const std::string done = oldFolder_ + kSwapDone, journal = oldFolder_ + kJournal;
  if (platform::fileExists(done)) {
    // The new set was complete: only the program-folder copy may lag behind.
    const std::vector<std::string> paths = lines(platform::readFile(done));
    if (paths.size() >= 2) {
      try {
        copyDescription(paths[0], paths[1]);
      } catch (const platform::RuntimeError&) {
      }
    }
  } else if (platform::fileExists(journal)) {
    // The swap stopped half-way: the old set comes back whole, nothing of the new stays.
    for (const std::string& line : lines(platform::readFile(journal))) {
      if (line.size() < 3) continue;
      const bool existed = line[0] == '1';
      const std::string live = line.substr(2), aside = oldFolder_ + fileName(live);
      try {
        if (existed && !platform::fileExists(aside)) continue;  // never moved aside
        if (platform::fileExists(live)) removeFile(live);
        if (existed) platform::rename(aside, live);
      } catch (const platform::RuntimeError&) {
      }
    }
  }
  // Without a journal nothing had moved yet.
  RemoveTree(oldFolder_, true);
}

void RecoverInterruptedCommits(std::string_view saveFolder) {
  const std::string folder(saveFolder);
  try {
    if (folder.size() < 3 || platform::driveType(folder.substr(0, 3)) == platform::DriveType::Removable)
      return;
    if (!platform::folderExists(folder)) return;
    for (int n = 1; n <= 5; ++n) {
      SlotBuild build(folder, n);
      build.recover();
      build.discard();
    }
  } catch (const platform::RuntimeError&) {
  }
}

void SlotBuild::prepare() {
  recover();
  RemoveTree(newFolder_, true);
  platform::mkDir(newFolder_.substr(0, newFolder_.size() - 1));
}

void SlotBuild::discard() { RemoveTree(newFolder_, true); }

void SlotBuild::commit(std::string_view iniPath, std::string_view configIniPath) {
  const std::string newIni = descriptionPath();
  const std::string configIni(configIniPath), configUsr = UsrTwin(configIniPath);
  // Every live file of the slot in the save folder, and where its new version lies.
  struct Move {
    std::string live, replacement;
  };
  std::vector<Move> moves;
  for (const std::string& suffix : ArchiveSuffixes()) {
    const std::string name = ArchiveName(slot_, suffix);
    moves.push_back({saveFolder_ + name, newFolder_ + name});
  }
  moves.push_back({configIni, newIni});
  moves.push_back({configUsr, UsrTwin(newIni)});

  std::vector<std::pair<std::string, std::string>> programCopies;  // old bytes of the program-folder copy
  steps_ = 0;
  try {
    recover();  // an earlier swap that never ended
    platform::mkDir(oldFolder_.substr(0, oldFolder_.size() - 1));
    std::string journal;
    for (const Move& move : moves)
      journal += std::string(platform::fileExists(move.live) ? "1 " : "0 ") + move.live + "\r\n";
    platform::replaceFile(oldFolder_ + kJournal, journal);
    step();
    for (const Move& move : moves) {
      if (!platform::fileExists(move.live)) continue;
      platform::rename(move.live, oldFolder_ + fileName(move.live));
      step();
    }
    for (const Move& move : moves) {
      if (!platform::fileExists(move.replacement)) continue;
      platform::rename(move.replacement, move.live);
      step();
    }
    platform::replaceFile(oldFolder_ + kSwapDone, std::string(iniPath) + "\r\n" + configIni + "\r\n");
    step();
    if (!SameFile(iniPath, configIni)) {
      for (const std::string& copy : {std::string(iniPath), UsrTwin(iniPath)}) {
        if (platform::fileExists(copy)) programCopies.push_back({copy, platform::readFile(copy)});
      }
      copyDescription(iniPath, configIni);
      step();
    }
  } catch (const platform::RuntimeError&) {
    try {
      if (platform::fileExists(oldFolder_ + kSwapDone)) removeFile(oldFolder_ + kSwapDone);
    } catch (const platform::RuntimeError&) {
    }
    recover();
    for (const auto& [path, bytes] : programCopies) {
      try {
        platform::replaceFile(path, bytes);
      } catch (const platform::RuntimeError&) {
      }
    }
    throw;
  }
  RemoveTree(oldFolder_, true);
  discard();
}

}  // namespace save
