// The machine root, as this layer lays it out:
//
//   machine.ini            the description: [Machine] (Name, CurrentDrive),
//                          [System] (the Windows facts), one [Drive X] section
//                          per drive letter: Type (2 removable, 3 fixed,
//                          4 network, 5 CD-ROM, 6 RAM disk), Folder (host
//                          folder below the root, fixed/network/RAM drives),
//                          Capacity and ClusterSize (bytes), Serial (hex),
//                          Label, WriteProtected (0/1), Unc (network drives:
//                          \\SERVER\SHARE), Medium (removable/CD-ROM drives:
//                          the inserted medium, empty when none)
//   drives/<X>/            a drive's files; drives/<X>.meta its metadata
//   media/<name>.ini       a medium on the shelf: [Medium] Label, Capacity,
//                          ClusterSize, Serial, WriteProtected, Formatted
//   media/<name>/          its files; media/<name>.meta its metadata
//   registry.reg           the registry (REGEDIT4 text)
//   scratch/<pid>-<n>/     the layer's scratch folders (scratch.h); opening
//                          the machine removes those of ended processes
//
// Host names are the Windows names' own bytes. The .meta files keep each
// entry's 8.3 alias, DOS attributes and creation order (see metadata.h).
#include "platform/machine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/error.h"
#include "platform/machine_state.h"
#include "platform/scratch.h"
#include "platform/shortname.h"

namespace fs = std::filesystem;

namespace platform {
namespace detail {

namespace {
std::unique_ptr<MachineState>& current() {
  static std::unique_ptr<MachineState> machine;
  return machine;
}

DriveType driveTypeOf(std::int64_t n) {
  if (n >= 0 && n <= 6) return static_cast<DriveType>(n);
  return DriveType::Unknown;
}

std::uint32_t serialOf(const std::string& text, std::uint32_t fallback) {
  if (text.empty()) return fallback;
  try {
    std::string digits;
    for (char c : text)
      if (c != '-') digits += c;
    return static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
  } catch (const std::exception&) {
    return fallback;
  }
}

std::string hex8(std::uint32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", n);
  return buf;
}

Medium loadMedium(const fs::path& iniFile) {
  KeyFile ini = KeyFile::load(iniFile);
  Medium m;
  m.name = iniFile.stem().string();
  m.spec.label = ini.get("Medium", "Label");
  m.spec.capacity = ini.getInt("Medium", "Capacity", 1457664);
  m.spec.clusterSize = std::max<std::int64_t>(1, ini.getInt("Medium", "ClusterSize", 512));
  m.spec.serial = serialOf(ini.get("Medium", "Serial"), 0);
  m.spec.writeProtected = ini.getInt("Medium", "WriteProtected", 0) != 0;
  m.spec.formatted = ini.getInt("Medium", "Formatted", 1) != 0;
  return m;
}

}  // namespace

bool isInside(const fs::path& path, const fs::path& root) {
  auto [r, p] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
  return r == root.end();
}

bool linkInsideRoot(const fs::path& host) {
  std::error_code ec;
  fs::path target = fs::canonical(host, ec);
  return !ec && isInside(target, state().canonicalRoot);
}

std::string childRel(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

MachineState* openState() { return current().get(); }

std::recursive_mutex& machineMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

MachineState& state() {
  if (!current()) throw RuntimeError(kPathNotFound, "No machine is open");
  return *current();
}

fs::path mediumFolder(const std::string& name) { return state().root / "media" / name; }
fs::path mediumFile(const std::string& name) { return state().root / "media" / (name + ".ini"); }

void saveDescription() {
  MachineState& s = state();
  s.description.save(s.root / "machine.ini");
}

void saveMedium(const Medium& medium) {
  fs::path file = mediumFile(medium.name);
  KeyFile ini = KeyFile::load(file);
  ini.set("Medium", "Label", medium.spec.label);
  ini.set("Medium", "Capacity", std::to_string(medium.spec.capacity));
  ini.set("Medium", "ClusterSize", std::to_string(medium.spec.clusterSize));
  ini.set("Medium", "Serial", hex8(medium.spec.serial));
  ini.set("Medium", "WriteProtected", medium.spec.writeProtected ? "1" : "0");
  ini.set("Medium", "Formatted", medium.spec.formatted ? "1" : "0");
  ini.save(file);
}

VolumeMetadata& metadataFor(const fs::path& content) {
  auto& slot = state().metadata[content.string()];
  if (!slot) {
    fs::path file = content;
    file += ".meta";
    slot = std::make_unique<VolumeMetadata>(file);
  }
  return *slot;
}

Drive* findDrive(char letter) {
  MachineState& s = state();
  auto it = s.drives.find(upperChar(letter));
  return it == s.drives.end() ? nullptr : &it->second;
}

Volume volumeOf(Drive& drive) {
  MachineState& s = state();
  Volume v;
  v.drive = &drive;
  if (drive.usesMedia()) {
    auto it = s.media.find(drive.medium);
    if (drive.medium.empty() || it == s.media.end() || !it->second.spec.formatted) raise(kDiskNotReady);
    v.medium = &it->second;
    v.content = mediumFolder(drive.medium);
    v.capacity = it->second.spec.capacity;
    v.clusterSize = it->second.spec.clusterSize;
    v.readOnly = drive.writeProtected || it->second.spec.writeProtected || drive.type == DriveType::CdRom;
  } else {
    v.content = drive.folder;
    v.capacity = drive.capacity;
    v.clusterSize = drive.clusterSize;
    v.readOnly = drive.writeProtected;
  }
  // Floppies, fixed disks and RAM disks are FAT; CD-ROMs and network drives are not.
  v.fatTimes = drive.type == DriveType::Removable || drive.type == DriveType::Fixed ||
               drive.type == DriveType::RamDisk;
  v.meta = &metadataFor(v.content);
  // A root in sync is watched: it is there.
  std::error_code ec;
  if (!v.meta->inSync("") && !fs::is_directory(v.content, ec)) fs::create_directories(v.content, ec);
  return v;
}

Volume volumeOfRoot(std::string_view root) {
  WindowsPath p = parseWindowsPath(root, state().currentDrive, [](char) { return std::string("\\"); });
  Drive* d = nullptr;
  if (p.drive) {
    d = findDrive(p.drive);
  } else {
    for (auto& [letter, drive] : state().drives)
      if (!drive.unc.empty() && equalsNoCase(drive.unc, p.rootText())) d = &drive;
  }
  if (!d) raise(kDeviceUnavailable);
  return volumeOf(*d);
}

}  // namespace detail

using namespace detail;

void openMachine(const fs::path& root) {
  Lock lock(machineMutex());
  if (!fs::is_regular_file(root / "machine.ini")) raise(kPathNotFound);
  auto s = std::make_unique<MachineState>();
  s->root = fs::absolute(root).lexically_normal();
  std::error_code ec;
  s->canonicalRoot = fs::canonical(s->root, ec);
  if (ec) s->canonicalRoot = s->root;
  s->description = KeyFile::load(root / "machine.ini");
  for (const std::string& section : s->description.sections()) {
    if (section.size() != 7 || !equalsNoCase(section.substr(0, 6), "Drive ")) continue;
    char letter = upperChar(section[6]);
    if (letter < 'A' || letter > 'Z') continue;
    const KeyFile& ini = s->description;
    Drive d;
    d.letter = letter;
    d.type = driveTypeOf(ini.getInt(section, "Type", 3));
    std::string folder = ini.get(section, "Folder", std::string("drives/") + letter);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    d.folder = s->root / folder;
    d.capacity = ini.getInt(section, "Capacity", std::int64_t(2) << 30);
    d.clusterSize = std::max<std::int64_t>(1, ini.getInt(section, "ClusterSize", 4096));
    d.label = ini.get(section, "Label");
    d.unc = ini.get(section, "Unc");
    d.serial = serialOf(ini.get(section, "Serial"), 0x1000000u + static_cast<std::uint32_t>(letter));
    d.writeProtected = ini.getInt(section, "WriteProtected", 0) != 0;
    d.medium = ini.get(section, "Medium");
    s->drives[letter] = d;
  }
  for (fs::directory_iterator it(s->root / "media", ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".ini") {
      Medium m = loadMedium(it->path());
      s->media[m.name] = m;
    }
  std::string cd = s->description.get("Machine", "CurrentDrive", "C");
  s->currentDrive = cd.empty() ? 'C' : upperChar(cd[0]);
  if (!s->drives.count(s->currentDrive) && !s->drives.empty()) s->currentDrive = s->drives.begin()->first;
  sweepStaleScratch(s->root);  // what a program killed half way left behind
  current() = std::move(s);
}

void closeMachine() {
  Lock lock(machineMutex());
  current().reset();
}

fs::path defaultMachineRoot() {
  if (const char* env = std::getenv("KELVARAN_MACHINE"); env && *env) return env;
  fs::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = fs::path(home) / ".local" / "share";
  else
    base = fs::temp_directory_path();
  return base / "kelvaran" / "demo-machine";
}

fs::path demoTemplateDir() {
  if (const char* src = std::getenv("KELVARAN_SOURCE_DIR"); src && *src) {
    fs::path dir = fs::path(src) / "demo" / "machine";
    if (fs::exists(dir / "machine.ini")) return dir;
  }
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  for (fs::path dir = exe.parent_path(); !ec && !dir.empty() && dir != dir.parent_path();
       dir = dir.parent_path())
    if (fs::exists(dir / "demo" / "machine" / "machine.ini")) return dir / "demo" / "machine";
  return {};
}

void createMachineFromTemplate(const fs::path& templateDir, const fs::path& root) {
  std::error_code ec;
  if (fs::exists(root, ec)) raise(kFileAlreadyExists);
  if (!fs::is_regular_file(templateDir / "machine.ini")) raise(kPathNotFound);
  fs::create_directories(root.parent_path(), ec);
  fs::path temp = root;
  temp += ".creating";
  fs::remove_all(temp, ec);
  fs::copy(templateDir, temp, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  if (ec) {
    fs::remove_all(temp, ec);
    raise(kDeviceIoError);
  }
  // Git keeps no empty folders: the template marks them with .gitkeep files.
  std::vector<fs::path> markers;
  for (fs::recursive_directory_iterator it(temp, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename() == ".gitkeep") markers.push_back(it->path());
  for (const fs::path& m : markers) fs::remove(m, ec);
  fs::rename(temp, root, ec);
  if (ec) raise(kDeviceIoError);
}

void openDefaultMachine() {
  fs::path root = defaultMachineRoot();
  if (!fs::exists(root / "machine.ini") && !std::getenv("KELVARAN_MACHINE")) {
    fs::path demo = demoTemplateDir();
    if (demo.empty()) raise(kPathNotFound);
    createMachineFromTemplate(demo, root);
  }
  openMachine(root);
}

bool machineOpen() {
  Lock lock(machineMutex());
  return current() != nullptr;
}

const fs::path& machineRoot() {
  Lock lock(machineMutex());
  return state().root;
}

std::string machineValue(std::string_view section, std::string_view key, std::string_view fallback) {
  Lock lock(machineMutex());
  return state().description.get(section, key, fallback);
}

fs::path hostPath(std::string_view windowsPath) {
  Lock lock(machineMutex());
  Resolved r = resolve(windowsPath);
  if (r.hiddenHostEntry) raise(kPathNotFound);  // it would lead out of the machine
  // The caller may change what it gets behind the layer's back.
  if (r.exists && r.isDir)
    recountVolume(r.volume);
  else
    watchHostFile(r.volume, r.host);
  return r.host;
}

std::string windowsPath(const fs::path& host) {
  Lock lock(machineMutex());
  if (!current()) return "";
  MachineState& s = state();
  fs::path target = fs::absolute(host).lexically_normal();
  for (auto& [letter, drive] : s.drives) {
    fs::path content =
        drive.usesMedia() ? (drive.medium.empty() ? fs::path() : mediumFolder(drive.medium)) : drive.folder;
    if (content.empty() || !isInside(target, content.lexically_normal())) continue;
    std::string out = std::string(1, letter) + ":";
    fs::path rel = target.lexically_relative(content.lexically_normal());
    for (const fs::path& part : rel)
      if (!part.empty() && part != ".") {
        out += '\\';
        out += part.string();
      }
    return out.size() == 2 ? out + "\\" : out;
  }
  return "";
}

}  // namespace platform
