#pragma once
// A rescue-disk test on a fresh demo machine: the program folder with zip.exe,
// Kvados.exe, Unzip.exe and a settings file, this machine's folders in the
// state, drive A: empty, scripted dialogs and disk answers, the wizard on its
// first page, and the program's end recorded instead of carried out.
#include <string>
#include <vector>

#include "core/tests/disk_fixture.h"

namespace rescuetest {

using disktest::res;

inline const std::string kProgramDir = std::string(disktest::kProgram) + "\\";
inline const std::string kSnapshot = kProgramDir + "Configd.kvz";

// The system files of the demo machine, as the snapshot names them.
const std::vector<std::string>& demoSnapshotFiles();

class RescueTest : public disktest::DiskTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The Windows version the main window shows (Form1.Label7).
  void setWindowsVersion(const std::string& versionNumber);
  // The entry names of an archive on the machine, sorted.
  std::vector<std::string> entriesOf(const std::string& windowsArchive);
  // The snapshot's entry names for the given staged file names.
  static std::vector<std::string> snapshotEntries(std::vector<std::string> files);
  // The root entries of a disk: name and attributes, in the order written.
  std::vector<std::pair<std::string, int>> rootOf(const std::string& disk);
  // A write-protected blank disk of `capacity` bytes; inserted into `drive` when given.
  std::string lockedDisk(std::int64_t capacity = disktest::kFloppy, char drive = 0);
  // Error.log of the program folder ("" when none).
  std::string errorLog();

  // The prompts of one press of Next that writes disk 1 and asks for disk 2.
  void expectFormatAndBootDisk(const std::string& nextDisk);
  // From the first page to the blank-disk page.
  void toBlankDiskPage();

  int programEnds = 0;
};

}  // namespace rescuetest
