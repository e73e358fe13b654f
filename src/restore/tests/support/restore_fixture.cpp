#include "restore_fixture.h"

#include "core/pause.h"
#include "core/startup.h"
#include "core/state.h"
#include "restore/load_cini.h"
#include "restore/loaded_configuration.h"

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

}  // namespace restoretest
