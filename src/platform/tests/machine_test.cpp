#include "platform/machine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/error.h"
#include "platform/files.h"
#include "support/test_machine.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

using testsupport::errorOf;

TEST(Machine, OpensTheDemoMachineWithItsDrivesAndFacts) {
  testsupport::TestMachine m;
  EXPECT_TRUE(machineOpen());
  EXPECT_EQ(driveLetters(), (std::vector<char>{'A', 'C', 'D', 'N'}));
  EXPECT_EQ(logicalDriveStrings(), std::string("A:\\\0C:\\\0D:\\\0N:\\\0\0", 17));
  EXPECT_EQ(driveType("A:\\"), DriveType::Removable);
  EXPECT_EQ(driveType("C:"), DriveType::Fixed);
  EXPECT_EQ(driveType("D:\\"), DriveType::CdRom);
  EXPECT_EQ(driveType("N:\\"), DriveType::Remote);
  EXPECT_EQ(driveType("Q:\\"), DriveType::NoRootDir);
  EXPECT_EQ(machineValue("System", "WindowsDirectory"), "C:\\WINDOWS");
  EXPECT_EQ(machineValue("System", "CSDVersion"), " A ");
  EXPECT_EQ(currentDrive(), 'C');
}

TEST(Machine, RefusesARootWithoutDescription) {
  fs::path empty = fs::temp_directory_path() / "kelvaran-no-machine";
  fs::create_directories(empty);
  EXPECT_EQ(errorOf([&] { openMachine(empty); }), kPathNotFound);
  fs::remove_all(empty);
}

TEST(Machine, HostPathsFollowCaseAndAliasesAndStayInsideTheRoot) {
  testsupport::TestMachine m;
  fs::path zip = m.root() / "drives/C/Program Files/Kelvaran/zip.exe";
  EXPECT_EQ(hostPath("C:\\Program Files\\Kelvaran\\zip.exe"), zip);
  EXPECT_EQ(hostPath("c:\\progra~1\\KELVARAN\\ZIP.EXE"), zip);
  EXPECT_EQ(hostPath("C:\\PROGRA~1\\Kelvaran\\new file.txt"),
            m.root() / "drives/C/Program Files/Kelvaran/new file.txt");
  EXPECT_EQ(hostPath("\\\\fileserver\\backup\\Shared\\NOTICE.TXT"), m.root() / "drives/N/Shared/Notice.txt");
  EXPECT_EQ(hostPath("C:\\..\\..\\WINDOWS"), m.root() / "drives/C/WINDOWS");
  EXPECT_EQ(windowsPath(zip), "C:\\Program Files\\Kelvaran\\zip.exe");
  EXPECT_EQ(windowsPath(m.root() / "drives/C"), "C:\\");
  EXPECT_EQ(windowsPath("/etc/passwd"), "");

  EXPECT_EQ(errorOf([] { hostPath("C:\\No Such Folder\\x.txt"); }), kPathNotFound);
  EXPECT_EQ(errorOf([] { hostPath("C:\\WIN.INI\\x"); }), kPathNotFound);  // through a file
  EXPECT_EQ(errorOf([] { hostPath("C:\\a|b"); }), kBadFileNameOrNumber);
  EXPECT_EQ(errorOf([] { hostPath("\\\\OTHER\\SHARE\\x"); }), kPathNotFound);
  EXPECT_EQ(errorOf([] { hostPath("Q:\\x"); }), kPathNotFound);
  m.eject('A');
  EXPECT_EQ(errorOf([] { hostPath("A:\\x"); }), kDiskNotReady);
}

TEST(Machine, LinksOutOfTheRootAreNeverFollowed) {
  testsupport::TestMachine m;
  fs::path outside = fs::temp_directory_path() / "kelvaran-outside";
  fs::create_directories(outside);
  { std::ofstream(outside / "secret.txt") << "x"; }
  fs::create_directory_symlink(outside, m.root() / "drives/C/Escape");
  fs::create_symlink(m.root() / "drives/C/AUTOEXEC.BAT", m.root() / "drives/C/inside.lnk");
  EXPECT_FALSE(pathExists("C:\\Escape"));
  EXPECT_EQ(errorOf([] { readFile("C:\\Escape\\secret.txt"); }), kPathNotFound);
  EXPECT_TRUE(findFiles("C:\\Esc*", kDirectory).empty());
  EXPECT_TRUE(fileExists("C:\\inside.lnk"));
  fs::remove_all(outside);
}

TEST(Machine, CurrentFolderPerDriveWithoutTouchingTheProcess) {
  testsupport::TestMachine m;
  fs::path before = fs::current_path();
  chDir("C:\\windows\\system");
  EXPECT_EQ(curDir(), "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(curDir('A'), "A:\\");
  EXPECT_TRUE(fileExists("KERNEL32.DLL"));
  EXPECT_TRUE(fileExists("..\\WIN.INI"));
  EXPECT_TRUE(fileExists("C:..\\SYSTEM.INI"));
  EXPECT_EQ(fullPath("..\\win.ini"), "C:\\WINDOWS\\win.ini");
  chDrive('N');
  EXPECT_EQ(fullPath("x"), "N:\\x");
  EXPECT_EQ(errorOf([] { chDrive('Q'); }), kDeviceUnavailable);
  EXPECT_EQ(errorOf([] { chDir("C:\\NOWHERE"); }), kPathNotFound);
  EXPECT_EQ(fs::current_path(), before);
}

TEST(Machine, NewMachinesComeFromTheTemplateWithoutItsMarkers) {
  fs::path root = fs::temp_directory_path() / "kelvaran-template-copy";
  fs::remove_all(root);
  createMachineFromTemplate(testsupport::demoTemplate(), root);
  EXPECT_TRUE(fs::is_directory(root / "drives/C/WINDOWS/TEMP"));
  EXPECT_FALSE(fs::exists(root / "drives/C/WINDOWS/TEMP/.gitkeep"));
  EXPECT_EQ(errorOf([&] { createMachineFromTemplate(testsupport::demoTemplate(), root); }),
            kFileAlreadyExists);
  fs::remove_all(root);
}

TEST(Machine, DefaultRootComesFromTheEnvironment) {
  setenv("KELVARAN_MACHINE", "/tmp/some-machine", 1);
  EXPECT_EQ(defaultMachineRoot(), fs::path("/tmp/some-machine"));
  unsetenv("KELVARAN_MACHINE");
  setenv("XDG_DATA_HOME", "/tmp/xdg", 1);
  EXPECT_EQ(defaultMachineRoot(), fs::path("/tmp/xdg/kelvaran/demo-machine"));
  unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace platform
