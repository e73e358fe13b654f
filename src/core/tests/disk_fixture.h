#pragma once
// Shared set-up of the removable-disk tests: a fresh demo machine with drive
// A: empty, scripted message boxes, scripted frmNotEmpty buttons, and helpers
// for floppy disks and their files.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/animate.h"
#include "core/disk_blocks.h"
#include "core/disk_check.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/messages.h"
#include "forms/scripted_dialogs_gtest.h"
#include "platform/files.h"
#include "support/test_machine.h"
#include "windows/animate.h"
#include "windows/frmnotempty.h"

namespace disktest {

inline constexpr std::int64_t kFloppy = 1457664;  // 1.44 MB, 512-byte clusters
inline constexpr char kProgram[] = "C:\\Program Files\\Kelvaran";

using forms::res;

// "Please insert Disk No. <n> now!"
inline std::string insertPrompt(int disk) { return res(1195) + " " + std::to_string(disk) + res(1196); }

// Bytes whose every block differs, so that a misplaced or repeated block shows.
inline std::string pattern(std::size_t size, unsigned seed = 7) {
  std::string bytes(size, '\0');
  unsigned x = seed;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<char>(x >> 16);
  }
  return bytes;
}

// The button a scripted frmNotEmpty presses: 1 "Formatting...", 2 "Retry", 3 "Continue?".
class DiskTest : public forms::ScriptedDialogsTest {
 protected:
  void SetUp() override {
    forms::ScriptedDialogsTest::SetUp();
    core::resetState();
    forms::setAppPath(kProgram);
    forms::setMousePointer(0);
    machine.eject('A');
    core::InstallAnimateHandlers();  // as the program does at start-up
    core::SetNotEmptyPresenter([this](windows::FrmNotEmptyWindow& window) {
      window.show();
      notEmptyTexts.push_back(window.Label1.caption());
      int button = 3;
      if (notEmptyButtons.empty()) {
        ADD_FAILURE() << "frmNotEmpty shown without a scripted button";
      } else {
        button = notEmptyButtons.front();
        notEmptyButtons.pop_front();
      }
      pointerWhileAsked = forms::mousePointer();
      (button == 1 ? window.Command1 : button == 2 ? window.Command2 : window.Command3).click();
    });
  }
  void TearDown() override {
    EXPECT_TRUE(notEmptyButtons.empty()) << "frmNotEmpty buttons left unpressed";
    core::SetNotEmptyPresenter({});
    core::SetCopyMemoryLimit(0);
    if (windows::Animate().loaded()) windows::Animate().unload();
    forms::ScriptedDialogsTest::TearDown();
  }

  // A new 1.44 MB disk (or `capacity` bytes) holding `files`; inserted in A: when asked.
  std::string floppy(const std::string& label, std::vector<std::pair<std::string, std::string>> files = {},
                     bool insert = false, std::int64_t capacity = kFloppy) {
    const std::string name = machine.addMedium({.capacity = capacity, .clusterSize = 512, .label = label});
    if (!files.empty()) {
      const std::string before = platform::insertedMedium('A');
      machine.insert('A', name);
      for (const auto& [file, bytes] : files) machine.write("A:\\" + file, bytes);
      if (before.empty()) {
        machine.eject('A');
      } else {
        machine.insert('A', before);
      }
    }
    if (insert) machine.insert('A', name);
    return name;
  }
  // A file of a disk, read with the disk put into A: for the moment.
  std::string onDisk(const std::string& disk, const std::string& file) {
    const std::string before = platform::insertedMedium('A');
    machine.insert('A', disk);
    const std::string path = "A:\\" + file;
    std::string bytes = machine.exists(path) ? machine.read(path) : std::string("<missing>");
    before.empty() ? machine.eject('A') : machine.insert('A', before);
    return bytes;
  }
  std::string labelOf(const std::string& disk) {
    const std::string before = platform::insertedMedium('A');
    machine.insert('A', disk);
    std::string label;
    std::uint32_t serial = 0;
    platform::volumeInformation("A:\\", label, serial);
    before.empty() ? machine.eject('A') : machine.insert('A', before);
    return label;
  }
  // An action for a scripted answer: put `disk` into A:.
  auto insertDisk(const std::string& disk) {
    return [this, disk] { machine.insert('A', disk); };
  }

  std::string source(const std::string& name, const std::string& bytes) {
    const std::string path = std::string(kProgram) + "\\" + name;
    machine.write(path, bytes);
    return path;
  }

  testsupport::TestMachine machine;
  std::deque<int> notEmptyButtons;
  std::vector<std::string> notEmptyTexts;
  int pointerWhileAsked = -1;
};

}  // namespace disktest
