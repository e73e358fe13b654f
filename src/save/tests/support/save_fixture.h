#pragma once
// A save test on a fresh demo machine: the program folder C:\Program Files\Kelvaran
// with zip.exe, the save folder C:\SAVE\, this machine's folders in the state,
// every selection box cleared (enabled), scripted dialogs, a fixed clock.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/scripted_dialogs_gtest.h"
#include "support/test_machine.h"

namespace savetest {

inline constexpr const char* kProgramFolder = "C:\\Program Files\\Kelvaran";
inline constexpr const char* kSaveFolder = "C:\\SAVE\\";
// The program folder with its separator, for the files kept in it.
inline const std::string kProgram = std::string(kProgramFolder) + "\\";
// The box a save ends with when it succeeded.
inline constexpr const char* kSavedMessage = "Configuration saved successfull!";

class SaveTest : public forms::ScriptedDialogsTest {
 protected:
  void SetUp() override;
  void TearDown() override;

 public:
  testsupport::TestMachine& machine() { return *machine_; }
  // The start menu (one shortcut), Win.ini, Autoexec.bat and the Favorites
  // (one link) written small and their boxes checked.
  void selectSmallSystem();
  // This machine's folders of every browser and mail group found as
  // discovery finds them on the demo machine (the address book, the Outlook
  // Express store, the cookies, a Netscape profile with mail and news); no
  // box ticked.
  void findEveryGroup();
  // Names slot n the way the Save button does before it calls the engine.
  void prepareSlot(int slotNumber, std::string_view name);
  // The user-file list file of the program folder (the engine reloads it).
  void writeUserList(const std::vector<std::string>& items);
  // The files of a folder (names as spelled on disk, sorted), "" entries for none.
  std::vector<std::string> filesIn(std::string_view folder) const;
  // A file's content on the machine, "" when missing.
  std::string content(std::string_view path) const;

 private:
  std::unique_ptr<testsupport::TestMachine> machine_;
};

// The entry names stored in an archive of the machine, sorted.
std::vector<std::string> ZipEntries(std::string_view windowsArchive);

}  // namespace savetest
