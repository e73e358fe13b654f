#pragma once
// System information: thin wrappers around the machine's drive, folder, name,
// memory, keyboard, processor and version facts. Stateless: every operation
// asks afresh. The program keeps one instance, state().SysInfo.
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

class System {
 public:
  // Total and free bytes of a drive root, clamped to the largest Long (never
  // negative); both 0 when the drive cannot be asked.
  void DriveInfo(std::string_view strRoot, std::int32_t& lngTotalSpace, std::int32_t& lngFreeSpace) const;
  // Adds 1 to the counter of each drive's kind; counters are not reset.
  void Drives(std::int16_t& intRemovable, std::int16_t& intNotRemovable, std::int16_t& intCD,
              std::int16_t& intRAM, std::int16_t& intNetwork) const;
  // "Removable drive", "Fixed drive", "Network drive", "CD-ROM drive", "RAM-disk" or "".
  std::string DriveType(std::string_view strRoot) const;
  // 1234 -> "1.234".
  std::string PutPoints(std::int32_t number) const;
  // Free bytes of a drive ("A:" or "A:\"), clamped to the largest Long; 0 when
  // the drive cannot be asked. The current drive and folder are kept.
  std::int32_t FastDiskSpace(std::string_view drive) const;
  void FreeMemory(std::uint8_t& memoryLoad, std::int32_t& totalKb, std::int32_t& availableKb) const;
  std::uint8_t FunctionKeys() const;
  std::string KeyboardType() const;
  void SystemInfo(std::string& strProcessor, std::int32_t& lngNumOfProcessors,
                  std::int32_t& lngActiveProcessor) const;
  // Folders end with "\"; "" when the machine names none.
  std::string TempDir() const;
  std::string SystemDir() const;
  std::string WinDir() const;
  std::string ComputerName() const;
  std::string UserName() const;
  // "1A2B-3C4D"; "0000-0000" when the volume cannot be asked.
  std::string SerialNumber(std::string_view strRoot) const;
  // The label; "NoName" for a volume without one; "" when there is no medium.
  std::string VolumeLabel(std::string_view strRoot) const;
  void WinVer(std::int16_t& intMajor, std::int16_t& intMinor, std::string& strPlatform) const;

 private:
  static std::string CutAtNull(std::string_view text);
};

}  // namespace core
