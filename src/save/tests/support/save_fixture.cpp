#include "save_fixture.h"

#include <algorithm>

#include "core/state.h"
#include "forms/app.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "platform/vb_datetime.h"
#include "platform/zip_directory.h"
#include "save/boxes.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace savetest {

void SaveTest::SetUp() {
  ScriptedDialogsTest::SetUp();
  machine_ = std::make_unique<testsupport::TestMachine>();
  forms::setAppPath(kProgramFolder);
  const std::string program = std::string(kProgramFolder) + "\\";
  if (!machine_->exists(program + "zip.exe")) machine_->write(program + "zip.exe", "zip");
  machine_->mkdirs(kSaveFolder);
  machine_->mkdirs("C:\\WINDOWS\\TEMP\\");
  platform::clearFakePrograms();
  platform::clearProcessRuns();
  platform::vb::setClock([] { return platform::DateTime{2026, 12, 9, 14, 35, 12}; });

  core::resetState();
  auto& st = core::state();
  st.TempDir = "C:\\WINDOWS\\TEMP\\";
  st.SaveFolder = kSaveFolder;
  st.SystemPath = "C:\\WINDOWS";
  st.CompressionLevel = "1";
  st.TodayDate = " 9/12/2026";
  for (int n = 1; n <= 5; ++n) {
    st.ConfigNames(n) = "available";
    st.ConfigDates(n) = "00/00/0000";
    st.ConfigTimes(n) = "00:00";
  }
  st.setMachinePaths({"C:\\WINDOWS", "C:\\WINDOWS\\Start Menu\\", "C:\\WINDOWS\\Favorites\\", ""});
  st.useMachinePaths();

  auto& f = windows::Form1();
  f.Label5.setCaption("Windows 98 SE");
  for (int box = 1; box <= 17; ++box) {
    save::Form1Box(box).setEnabled(true);
    save::Form1Box(box).setValue(0);
  }
  auto& u = windows::UserFiles();
  for (int box : {1, 2, 3, 4, 5, 6, 11, 12}) {
    save::UserFilesBox(box).setEnabled(true);
    save::UserFilesBox(box).setValue(0);
  }
  u.List1.clear();
  u.Combo1.clear();
  u.Combo2.clear();
  u.Label1.setCaption("Version 5.50.4134.0600");
  u.Label3.setCaption("Identity");
  u.Label4.setCaption("Version 5.50.4133.2400");
  f.Command2.setEnabled(true);
}

void SaveTest::TearDown() {
  platform::clearFakePrograms();
  platform::vb::setClock({});
  machine_.reset();
  ScriptedDialogsTest::TearDown();
}

void SaveTest::selectSmallSystem() {
  machine_->write("C:\\WINDOWS\\WIN.INI", "[windows]\r\nload=\r\n");
  machine_->write("C:\\AUTOEXEC.BAT", "@echo off\r\n");
  machine_->write("C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk", "lnk");
  machine_->write("C:\\WINDOWS\\Favorites\\Links\\Home.url", "[InternetShortcut]\r\n");
  save::Form1Box(1).setValue(1);       // Start menu
  save::Form1Box(2).setValue(1);       // Win.ini
  save::Form1Box(8).setValue(1);       // Autoexec.bat
  save::UserFilesBox(12).setValue(1);  // Favorites
}

void SaveTest::findEveryGroup() {
  const std::string netscape = "C:\\Program Files\\Netscape\\Users\\default";
  machine_->write(netscape + "\\Mail\\Inbox", "mail");
  machine_->write(netscape + "\\News\\host\\comp.os", "news");
  auto& st = core::state();
  st.CookiesDir = "C:\\WINDOWS\\Cookies\\";
  st.AddressBookFile = "C:\\WINDOWS\\Application Data\\Microsoft\\Address Book\\Jordan.wab";
  st.OEMailDir =
      "C:\\WINDOWS\\Application Data\\Identities\\{4F2A61C0-1B7D-11D4-9C3E-00A0C9D1E2F3}\\Microsoft\\"
      "Outlook Express\\";
  auto own = st.machine;
  own.PathNetscape = netscape;
  st.setMachinePaths(own);
}

void SaveTest::prepareSlot(int slotNumber, std::string_view name) {
  auto& st = core::state();
  st.CurrentConfig = static_cast<std::uint8_t>(slotNumber - 1);
  st.ConfigNames(slotNumber) = std::string(name);
  st.ConfigDescription = std::string(name);
  st.IniPath = std::string(kProgramFolder) + "\\Config" + std::to_string(slotNumber) + ".ini";
  st.ConfigIniPath = st.SaveFolder + "Config" + std::to_string(slotNumber) + ".ini";
}

void SaveTest::writeUserList(const std::vector<std::string>& items) {
  std::string text = " " + std::to_string(items.size()) + "\r\n";
  for (const std::string& item : items) text += item + "\r\n";
  machine_->write(std::string(kProgramFolder) + "\\kelvaran.usr", text + "\r\n");
}

std::vector<std::string> SaveTest::filesIn(std::string_view folder) const {
  std::vector<std::string> names;
  for (const platform::DirEntry& e : platform::findFiles(
           std::string(folder) + "*.*", platform::kDirectory | platform::kHidden | platform::kSystem)) {
    if (e.name == "." || e.name == "..") continue;
    names.push_back((e.attributes & platform::kDirectory) ? e.name + "\\" : e.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string SaveTest::content(std::string_view path) const {
  return machine_->exists(path) ? machine_->read(path) : std::string();
}

std::vector<std::string> ZipEntries(std::string_view windowsArchive) {
  std::vector<std::string> names;
  for (const auto& member : platform::zipdir::readMembers(platform::hostPath(windowsArchive)))
    names.push_back(member.name);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace savetest
