#include "save/slot_commit.h"

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

void SlotBuild::prepare() {
  // A commit that never ended left the old set aside: put back what is missing.
  if (platform::folderExists(oldFolder_)) {
    for (const platform::DirEntry& entry : platform::findFiles(oldFolder_ + "*.*", kAnyEntry)) {
      if (entry.attributes & platform::kDirectory) continue;
      const std::string live = saveFolder_ + entry.name;
      if (!platform::pathExists(live)) platform::rename(oldFolder_ + entry.name, live);
    }
    RemoveTree(oldFolder_, true);
  }
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

  std::vector<std::string> setAside, movedIn;
  std::vector<std::pair<std::string, std::string>> programCopies;  // old bytes of the program-folder copy
  auto rollBack = [&] {
    for (const std::string& live : movedIn) {
      try {
        removeFile(live);
      } catch (const platform::RuntimeError&) {
      }
    }
    for (const std::string& live : setAside) {
      try {
        platform::rename(oldFolder_ + fileName(live), live);
      } catch (const platform::RuntimeError&) {
      }
    }
    RemoveTree(oldFolder_, true);
  };

  try {
    platform::mkDir(oldFolder_.substr(0, oldFolder_.size() - 1));
    for (const Move& move : moves) {
      if (!platform::fileExists(move.live)) continue;
      platform::rename(move.live, oldFolder_ + fileName(move.live));
      setAside.push_back(move.live);
    }
    for (const Move& move : moves) {
      if (!platform::fileExists(move.replacement)) continue;
      platform::rename(move.replacement, move.live);
      movedIn.push_back(move.live);
    }
    if (!SameFile(iniPath, configIni)) {
      for (const std::string& copy : {std::string(iniPath), UsrTwin(iniPath)}) {
        if (platform::fileExists(copy)) programCopies.push_back({copy, platform::readFile(copy)});
      }
      platform::replaceFile(iniPath, platform::readFile(configIni));
      platform::replaceFile(UsrTwin(iniPath), platform::readFile(configUsr));
    }
  } catch (const platform::RuntimeError&) {
    rollBack();
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
