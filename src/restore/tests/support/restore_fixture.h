#pragma once
// A restore test on a fresh demo machine: the save fixture's machine (program
// folder with zip.exe and Unzip32.exe, save folder C:\SAVE\, this machine's
// folders in the state) with the restore dialog cleared, pauses that cost
// nothing, and the program's end and Windows' restart recorded, not done.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "save/tests/support/save_fixture.h"

namespace restoretest {

using savetest::kProgram;
using savetest::kProgramFolder;
using savetest::kSaveFolder;

// Sections of a description: section name -> its lines "key=value".
using Sections = std::map<std::string, std::string>;

class RestoreTest : public savetest::SaveTest {
 protected:
  void SetUp() override;
  void TearDown() override;

 public:
  // Writes Config<n>.ini (and, when `userFiles` is given, Config<n>.usr) into
  // the program folder, or its SmartSav folder. `sections` are added to, or
  // replace, those of a plain description of this machine saved into C:\SAVE\.
  void writeDescription(int slot, const Sections& sections, bool smartSave = false);
  void writeUserFiles(int slot, std::string_view text, bool smartSave = false);

  int programEnds = 0;
};

// The numbers (1..25) of the restore dialog's enabled boxes, and of its ticked ones.
std::vector<int> enabledBoxes();
std::vector<int> tickedBoxes();
// The entries of the restore dialog's user-file list.
std::vector<std::string> userFileEntries();
// The lines of the program folder's Error.log (none when there is no log).
std::vector<std::string> errorLogLines(testsupport::TestMachine& machine);

}  // namespace restoretest
