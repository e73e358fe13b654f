#include "core/system.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/sysfacts.h"
#include "platform/vb_convert.h"

namespace core {

namespace {

constexpr std::int64_t kLongMax = std::numeric_limits<std::int32_t>::max();

std::int32_t clampToLong(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, kLongMax));
}

std::int32_t roundHalfEven(double value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

}  // namespace

std::string System::CutAtNull(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

void System::DriveInfo(std::string_view strRoot, std::int32_t& lngTotalSpace,
                       std::int32_t& lngFreeSpace) const {
  lngTotalSpace = 0;
  lngFreeSpace = 0;
  platform::DiskFreeSpace space;
  try {
    if (!platform::diskFreeSpace(strRoot, space)) return;
  } catch (const platform::RuntimeError&) {
    return;
  }
  const std::int64_t cluster = std::int64_t{space.sectorsPerCluster} * space.bytesPerSector;
  lngTotalSpace = clampToLong(cluster * space.totalClusters);
  lngFreeSpace = clampToLong(cluster * space.freeClusters);
}

void System::Drives(std::int16_t& intRemovable, std::int16_t& intNotRemovable, std::int16_t& intCD,
                    std::int16_t& intRAM, std::int16_t& intNetwork) const {
  for (char letter : platform::driveLetters()) {
    const std::string type = DriveType(std::string(1, letter) + ":\\");
    if (type == "Removable drive")
      ++intRemovable;
    else if (type == "Fixed drive")
      ++intNotRemovable;
    else if (type == "Network drive")
      ++intNetwork;
    else if (type == "CD-ROM drive")
      ++intCD;
    else if (type == "RAM-disk")
      ++intRAM;
  }
}

std::string System::DriveType(std::string_view strRoot) const {
  platform::DriveType type = platform::DriveType::Unknown;
  try {
    type = platform::driveType(strRoot);
  } catch (const platform::RuntimeError&) {
    return "";
  }
  switch (type) {
    case platform::DriveType::Removable: return "Removable drive";
    case platform::DriveType::Fixed: return "Fixed drive";
    case platform::DriveType::Remote: return "Network drive";
    case platform::DriveType::CdRom: return "CD-ROM drive";
    case platform::DriveType::RamDisk: return "RAM-disk";
    default: return "";
  }
}

std::string System::PutPoints(std::int32_t number) const {
  const std::string text = std::to_string(number);
  const std::size_t length = text.size();
  const std::size_t points = (length + 2) / 3 - 1;
  std::string result;
  for (std::size_t i = 0; i < points; ++i) result = "." + text.substr(length - 3 * i - 3, 3) + result;
  return text.substr(0, length - 3 * points) + result;
}

std::int32_t System::FastDiskSpace(std::string_view drive) const {
  std::string remembered;
  try {
    remembered = platform::curDir();
  } catch (const platform::RuntimeError&) {
  }
  std::int32_t result = 0;
  try {
    if (drive.empty()) platform::raise(platform::kDeviceUnavailable);
    platform::chDrive(drive[0]);
    result = clampToLong(platform::freeBytes(std::string(1, drive[0]) + ":\\"));
  } catch (const platform::RuntimeError&) {
    result = 0;
  }
  try {
    if (remembered.size() >= 2) {
      platform::chDrive(remembered[0]);
      platform::chDir(remembered);
    }
  } catch (const platform::RuntimeError&) {
  }
  return result;
}

void System::FreeMemory(std::uint8_t& memoryLoad, std::int32_t& totalKb, std::int32_t& availableKb) const {
  platform::MemoryStatus status;
  platform::globalMemoryStatus(status);
  memoryLoad = static_cast<std::uint8_t>(status.memoryLoad);
  totalKb = roundHalfEven(status.totalPhys / 1024.0);
  availableKb = roundHalfEven(status.availPhys / 1024.0);
}

std::uint8_t System::FunctionKeys() const { return static_cast<std::uint8_t>(platform::getKeyboardType(2)); }

std::string System::KeyboardType() const {
  switch (platform::getKeyboardType(0)) {
    case 1: return "IBM PC/XT or compatible (83 key)";
    case 2: return "Olivetti \"ico\" (102 key)";
    case 3: return "IBM PC/AT or compatible (84 key)";
    case 4: return "IBM enhanced (101 or 102 key)";
    case 5: return "Nokia 1050 or compatible";
    case 6: return "Nokia 9140 or compatible";
    case 7: return "Japanese";
    default: return "";
  }
}

void System::SystemInfo(std::string& strProcessor, std::int32_t& lngNumOfProcessors,
                        std::int32_t& lngActiveProcessor) const {
  platform::SystemInfo info;
  platform::getSystemInfo(info);
  lngActiveProcessor = static_cast<std::int32_t>(info.activeProcessorMask);
  lngNumOfProcessors = static_cast<std::int32_t>(info.numberOfProcessors);
  switch (info.processorType) {
    case 386: strProcessor = "80386"; break;
    case 486: strProcessor = "80486"; break;
    case 586: strProcessor = "Intel Pentium"; break;
    default: break;
  }
}

// The folders are taken whole: a long temporary folder is still the
// machine's temporary folder.
std::string System::TempDir() const {
  return platform::withTrailingBackslash(CutAtNull(platform::getTempPath()));
}
std::string System::SystemDir() const {
  return platform::withTrailingBackslash(CutAtNull(platform::getSystemDirectory()));
}
std::string System::WinDir() const {
  return platform::withTrailingBackslash(CutAtNull(platform::getWindowsDirectory()));
}

std::string System::ComputerName() const {
  std::string name;
  return platform::getComputerName(name) ? CutAtNull(name) : "";
}

std::string System::UserName() const {
  std::string name;
  return platform::getUserName(name) ? CutAtNull(name) : "";
}

std::string System::SerialNumber(std::string_view strRoot) const {
  std::string label;
  std::uint32_t serial = 0;
  try {
    if (!platform::volumeInformation(strRoot.substr(0, 3), label, serial)) return "0000-0000";
  } catch (const platform::RuntimeError&) {
    return "0000-0000";
  }
  std::string hex = platform::vb::hex(serial);
  hex.insert(0, 8 - std::min<std::size_t>(8, hex.size()), '0');
  return hex.substr(0, 4) + "-" + hex.substr(hex.size() - 4);
}

std::string System::VolumeLabel(std::string_view strRoot) const {
  std::string label;
  std::uint32_t serial = 0;
  try {
    if (!platform::volumeInformation(strRoot, label, serial)) return "";
  } catch (const platform::RuntimeError&) {
    return "";
  }
  label = CutAtNull(label);
  return label.empty() ? "NoName" : label;
}

void System::WinVer(std::int16_t& intMajor, std::int16_t& intMinor, std::string& strPlatform) const {
  platform::OsVersionInfo info;
  if (!platform::getVersionEx(info)) {
    intMajor = 0;
    intMinor = 0;
    strPlatform = "";
    return;
  }
  intMajor = static_cast<std::int16_t>(info.majorVersion);
  intMinor = static_cast<std::int16_t>(info.minorVersion);
  switch (info.platformId) {
    case 0: strPlatform = "Windows " + std::to_string(intMajor) + "." + std::to_string(intMinor); break;
    case 1: strPlatform = "Windows 95"; break;
    case 2: strPlatform = "Windows NT"; break;
    default: break;
  }
}

}  // namespace core
