#include "restore_fixture.h"

#include "core/pause.h"
#include "core/startup.h"
#include "core/state.h"
#include "restore/load_cini.h"
#include "restore/loaded_configuration.h"
#include "restore/restore_boxes.h"
#include "windows/restorereq.h"

namespace restoretest {

void RestoreTest::SetUp() {
  SaveTest::SetUp();
  if (!machine().exists(kProgram + "Unzip32.exe")) machine().write(kProgram + "Unzip32.exe", "unzip");
  core::setPause([](int) {});
  core::setProgramEnd([this] { ++programEnds; });
  restore::clearLoadedConfiguration();
  restore::ClearRestoreDialog();
}

void RestoreTest::TearDown() {
  core::setPause(nullptr);
  core::setProgramEnd(nullptr);
  SaveTest::TearDown();
}

void RestoreTest::writeDescription(int slot, const Sections& sections, bool smartSave) {
  Sections all{
      {"Configuration", "OSV=Windows 98 SE\r\nConfigName=Demo\r\n"},
      {"SystemFiles", "SystemPath=C:\\WINDOWS\r\nSaveFolder=C:\\SAVE\\\r\n"},
  };
  for (const auto& [name, lines] : sections) all[name] = lines;
  std::string text;
  for (const auto& [name, lines] : all) text += "[" + name + "]\r\n" + lines + "\r\n";
  machine().write(restore::DescriptionPath(slot, smartSave), text);
}

void RestoreTest::writeUserFiles(int slot, std::string_view text, bool smartSave) {
  std::string path = restore::DescriptionPath(slot, smartSave);
  path.replace(path.size() - 3, 3, "usr");
  machine().write(path, text);
}

std::vector<int> enabledBoxes() {
  std::vector<int> numbers;
  for (int n = 1; n <= 25; ++n)
    if (restore::RestoreBox(n).enabled()) numbers.push_back(n);
  return numbers;
}

std::vector<int> tickedBoxes() {
  std::vector<int> numbers;
  for (int n = 1; n <= 25; ++n)
    if (restore::Ticked(n)) numbers.push_back(n);
  return numbers;
}

std::vector<std::string> userFileEntries() {
  const forms::ListBox& list = windows::RestoreReq().List1;
  std::vector<std::string> items;
  for (int i = 0; i < list.listCount(); ++i) items.push_back(list.list(i));
  return items;
}

std::vector<std::string> errorLogLines(testsupport::TestMachine& machine) {
  std::vector<std::string> lines;
  const std::string log = kProgram + "Error.log";
  if (!machine.exists(log)) return lines;
  const std::string text = machine.read(log);
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

}  // namespace restoretest
