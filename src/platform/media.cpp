// Drives and the media of removable drives.
#include <algorithm>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/machine_state.h"
#include "platform/shortname.h"

namespace fs = std::filesystem;

namespace platform {

using namespace detail;

namespace {

// Windows 9x reports at most this much through GetDiskFreeSpaceA.
constexpr std::int64_t kReportLimit = 2147450880;

Drive* driveOfRoot(std::string_view root) {
  if (root.empty()) return nullptr;
  if (root.size() >= 2 && root[0] == '\\' && root[1] == '\\') {
    WindowsPath p = parseWindowsPath(root, 'C', [](char) { return std::string("\\"); });
    for (auto& [letter, d] : state().drives)
      if (!d.unc.empty() && equalsNoCase(d.unc, p.rootText())) return &d;
    return nullptr;
  }
  if (root.size() > 1 && root[1] != ':') return nullptr;
  return findDrive(root[0]);
}

Drive& mediaDrive(char letter) {
  Drive* d = findDrive(letter);
  if (!d) raise(kDeviceUnavailable);
  if (!d->usesMedia()) raise(kInvalidCall);
  return *d;
}

Medium& mediumNamed(std::string_view name) {
  auto& media = state().media;
  auto it = media.find(std::string(name));
  if (it == media.end()) raise(kInvalidCall);
  return it->second;
}

void setInserted(Drive& d, const std::string& medium) {
  if (!d.medium.empty() && d.medium != medium) {
    auto& metadata = state().metadata;
    auto it = metadata.find(mediumFolder(d.medium).string());
    if (it != metadata.end() && it->second) it->second->closeFile();
  }
  d.medium = medium;
  state().description.set(std::string("Drive ") + d.letter, "Medium", medium);
  saveDescription();
}

bool validLabel(std::string_view label) {
  if (label.size() > 11) return false;
  for (char c : label)
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("\\/:*?\"<>|.").find(c) != std::string_view::npos)
      return false;
  return true;
}

std::uint32_t newSerial(const std::string& seed) {
  std::uint32_t h = 2166136261u;
  for (char c : seed) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return h ? h : 1;
}

}  // namespace

std::vector<char> driveLetters() {
  Lock lock(machineMutex());
  std::vector<char> out;
  for (const auto& [letter, d] : state().drives) out.push_back(letter);
  return out;
}

std::string logicalDriveStrings() {
  std::string out;
  for (char letter : driveLetters()) {
    out += letter;
    out += ":\\";
    out += '\0';
  }
  return out + '\0';
}

DriveType driveType(std::string_view root) {
  Lock lock(machineMutex());
  Drive* d = driveOfRoot(root);
  return d ? d->type : DriveType::NoRootDir;
}

bool mediumPresent(std::string_view root) {
  Lock lock(machineMutex());
  try {
    volumeOfRoot(root);
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool diskFreeSpace(std::string_view root, DiskFreeSpace& out) {
  Lock lock(machineMutex());
  try {
    Volume v = volumeOfRoot(root);
    std::int64_t cluster = v.clusterSize;
    out.bytesPerSector = static_cast<std::uint32_t>(std::min<std::int64_t>(512, cluster));
    out.sectorsPerCluster =
        static_cast<std::uint32_t>(std::max<std::int64_t>(1, cluster / out.bytesPerSector));
    std::int64_t limit = kReportLimit / cluster;
    out.totalClusters = static_cast<std::uint32_t>(std::min(totalClusters(v), limit));
    out.freeClusters = static_cast<std::uint32_t>(std::min(freeClusters(v), limit));
    return true;
  } catch (const RuntimeError&) {
    out = {};
    return false;
  }
}

std::int64_t freeBytes(std::string_view root) {
  Lock lock(machineMutex());
  Volume v = volumeOfRoot(root);
  return freeClusters(v) * v.clusterSize;
}

std::int64_t totalBytes(std::string_view root) {
  Lock lock(machineMutex());
  Volume v = volumeOfRoot(root);
  return totalClusters(v) * v.clusterSize;
}

std::int64_t allocationUnit(std::string_view root) {
  Lock lock(machineMutex());
  return volumeOfRoot(root).clusterSize;
}

bool volumeInformation(std::string_view root, std::string& label, std::uint32_t& serial) {
  Lock lock(machineMutex());
  try {
    Volume v = volumeOfRoot(root);
    label = v.medium ? v.medium->spec.label : v.drive->label;
    serial = v.medium ? v.medium->spec.serial : v.drive->serial;
    return true;
  } catch (const RuntimeError&) {
    label.clear();
    serial = 0;
    return false;
  }
}

bool setVolumeLabel(std::string_view root, std::string_view label) {
  Lock lock(machineMutex());
  try {
    Volume v = volumeOfRoot(root);
    if (v.readOnly || !validLabel(label)) return false;
    if (v.medium) {
      v.medium->spec.label = std::string(label);
      saveMedium(*v.medium);
    } else {
      v.drive->label = std::string(label);
      state().description.set(std::string("Drive ") + v.drive->letter, "Label", label);
      saveDescription();
    }
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool isWriteProtected(std::string_view root) {
  Lock lock(machineMutex());
  try {
    return volumeOfRoot(root).readOnly;
  } catch (const RuntimeError&) {
    return false;
  }
}

std::vector<std::string> shelfMedia() {
  Lock lock(machineMutex());
  std::vector<std::string> out;
  for (const auto& [name, m] : state().media) out.push_back(name);
  return out;
}

std::string createMedium(const MediumSpec& spec) {
  Lock lock(machineMutex());
  MachineState& s = state();
  if (spec.capacity <= 0 || spec.clusterSize <= 0 || !validLabel(spec.label)) raise(kInvalidCall);
  std::string name;
  for (int n = 1;; ++n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "disk%02d", n);
    name = buf;
    std::error_code ec;
    if (!s.media.count(name) && !fs::exists(mediumFile(name), ec) && !fs::exists(mediumFolder(name), ec))
      break;
  }
  Medium m{name, spec};
  if (!m.spec.serial) m.spec.serial = newSerial(s.root.string() + "/" + name);
  std::error_code ec;
  fs::create_directories(mediumFolder(name), ec);
  if (ec) raise(kDeviceIoError);
  // Made formatted: its (empty) metadata is there from the start, as after a
  // format, and nothing of it is used.
  if (m.spec.formatted) {
    metadataFor(mediumFolder(name)).save();
    VolumeUsage& usage = s.usage[mediumFolder(name).string()];
    usage = {};
    usage.known = true;
  }
  saveMedium(m);
  s.media[name] = m;
  return name;
}

void insertMedium(char drive, std::string_view medium) {
  Lock lock(machineMutex());
  Drive& d = mediaDrive(drive);
  mediumNamed(medium);
  for (auto& [letter, other] : state().drives)
    if (&other != &d && other.medium == medium) setInserted(other, "");
  setInserted(d, std::string(medium));
}

void ejectMedium(char drive) {
  Lock lock(machineMutex());
  setInserted(mediaDrive(drive), "");
}

std::string insertedMedium(char drive) {
  Lock lock(machineMutex());
  Drive* d = findDrive(drive);
  return d ? d->medium : "";
}

void setWriteProtected(std::string_view medium, bool on) {
  Lock lock(machineMutex());
  Medium& m = mediumNamed(medium);
  m.spec.writeProtected = on;
  saveMedium(m);
}

void formatMedium(char drive, bool quick, std::string_view label) {
  Lock lock(machineMutex());
  Drive& d = mediaDrive(drive);
  if (d.medium.empty()) raise(kDiskNotReady);
  Medium& m = mediumNamed(d.medium);
  if (d.type == DriveType::CdRom || m.spec.writeProtected || d.writeProtected) raise(kPermissionDenied);
  if (quick && !m.spec.formatted) raise(kDiskNotReady);
  if (!validLabel(label)) raise(kInvalidCall);
  fs::path folder = mediumFolder(m.name);
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder, ec);
  if (ec) raise(kDeviceIoError);
  metadataFor(folder).clear();
  metadataFor(folder).save();
  state().usage.erase(folder.string());
  m.spec.label = std::string(label);
  m.spec.formatted = true;
  if (!quick)
    m.spec.serial = newSerial(state().root.string() + "/" + m.name + "/" + std::to_string(m.spec.serial));
  saveMedium(m);
}

}  // namespace platform
