#include "rescue_fixture.h"

#include <algorithm>

#include "core/startup.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "platform/zip_directory.h"
#include "rescue/disk_steps.h"
#include "rescue/wizard.h"
#include "windows/form1.h"
#include "windows/selwiz.h"
#include "windows/wizzard.h"

namespace rescuetest {

void RescueTest::SetUp() {
  DiskTest::SetUp();
  static bool bound = false;
  if (!bound) {
    rescue::bindRescue();
    bound = true;
  }
  platform::clearFakePrograms();
  platform::clearProcessRuns();
  machine.write(kProgramDir + "kelvaran.ini", "[Settings]\r\nCompression=1\r\n");
  machine.mkdirs("C:\\WINDOWS\\TEMP\\");
  auto& s = core::state();
  s.TempDir = "C:\\WINDOWS\\TEMP\\";
  s.CompressionLevel = "1";
  s.setMachinePaths({"C:\\WINDOWS", "C:\\WINDOWS\\Start Menu\\", "C:\\WINDOWS\\Favorites\\", ""});
  setWindowsVersion("4.10.2222");
  windows::Form1().setEnabled(true);
  windows::Form1().Command2.setEnabled(true);
  windows::Form1().Command3.setEnabled(true);
  core::setProgramEnd([this] { ++programEnds; });
  windows::Wizzard().load();
}

void RescueTest::TearDown() {
  core::setProgramEnd(nullptr);
  for (forms::Form* form : std::vector<forms::Form*>{&windows::Wizzard(), &windows::SelWiz()}) {
    if (form->loaded()) form->unloadForShutdown();
  }
  platform::clearFakePrograms();
  DiskTest::TearDown();
}

void RescueTest::setWindowsVersion(const std::string& versionNumber) {
  windows::Form1().Label7.setCaption(versionNumber);
}

std::vector<std::string> RescueTest::entriesOf(const std::string& windowsArchive) {
  std::vector<std::string> names;
  for (const auto& member : platform::zipdir::readMembers(machine.host(windowsArchive)))
    names.push_back(member.name);
  std::sort(names.begin(), names.end());
  return names;
}

const std::vector<std::string>& demoSnapshotFiles() {
  static const std::vector<std::string> files{"autoexec.bat", "autoexec.dos", "config.sys",   "config.dos",
                                              "msdos.sys",    "system.ini",   "protocol.ini", "control.ini",
                                              "user.dat",     "system.dat",   "win.ini",      "drvspace.bin"};
  return files;
}

std::vector<std::string> RescueTest::snapshotEntries(std::vector<std::string> files) {
  for (auto& file : files) file = "WINDOWS/TEMP/kelvaran/" + file;
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::pair<std::string, int>> RescueTest::rootOf(const std::string& disk) {
  const std::string before = platform::insertedMedium('A');
  machine.insert('A', disk);
  std::vector<std::pair<std::string, int>> entries;
  for (const auto& entry :
       platform::findFiles("A:\\*.*", platform::kHidden | platform::kSystem | platform::kDirectory))
    entries.emplace_back(entry.name, entry.attributes);
  before.empty() ? machine.eject('A') : machine.insert('A', before);
  return entries;
}

std::string RescueTest::lockedDisk(std::int64_t capacity, char drive) {
  platform::MediumSpec spec;
  spec.capacity = capacity;
  spec.writeProtected = true;
  return machine.addMedium(spec, drive);
}

std::string RescueTest::errorLog() {
  const std::string path = kProgramDir + "Error.log";
  return machine.exists(path) ? machine.read(path) : std::string();
}

void RescueTest::toBlankDiskPage() {
  windows::Wizzard().Option1.setValue(true);
  windows::Wizzard().Command2.click();
}

void RescueTest::expectFormatAndBootDisk(const std::string& nextDisk) {
  dialogs().expect(rescue::FormatInstructionsText()).style(forms::vbOKOnly).title("");
  dialogs().expectFormat('A');
  dialogs().expect(rescue::ChangeDiskPrompt(1)).style(forms::vbOKOnly).title("").then(insertDisk(nextDisk));
}

}  // namespace rescuetest
