#include "platform/machine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/replace_file.h"
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

// A name the layer does not show because the host holds a link out of the
// machine there takes no write of any kind: nothing outside the root changes
// and the links stay as they were.
TEST(Machine, NothingIsWrittenThroughLinksOutOfTheRoot) {
  testsupport::TestMachine m;
  const fs::path outside = fs::temp_directory_path() / ("kelvaran-outside-" + std::to_string(::getpid()));
  fs::remove_all(outside);
  fs::create_directories(outside / "folder");
  { std::ofstream(outside / "target.txt") << "outside"; }
  const fs::path c = m.root() / "drives/C";
  fs::create_symlink(outside / "target.txt", c / "out.txt");
  fs::create_symlink(outside / "made.txt", c / "dangling.txt");  // its target does not exist
  fs::create_directory_symlink(outside / "folder", c / "Escape");
  m.write("C:\\mine.txt", "mine");

  struct Case {
    const char* what;
    std::function<void()> call;
    int error;
  };
  const Case cases[] = {
      {"write", [] { writeFile("C:\\out.txt", "in"); }, kPermissionDenied},
      {"write, no target", [] { writeFile("C:\\dangling.txt", "in"); }, kPermissionDenied},
      {"append", [] { appendFile("C:\\out.txt", "in"); }, kPermissionDenied},
      {"open for writing", [] { File f("C:\\out.txt", File::Mode::ReadWrite); }, kPermissionDenied},
      {"replace", [] { replaceFile("C:\\dangling.txt", "in"); }, kPermissionDenied},
      {"copy onto", [] { fileCopy("C:\\mine.txt", "C:\\out.txt"); }, kPermissionDenied},
      {"copy for reading", [] { fileCopyForReading("C:\\mine.txt", "C:\\dangling.txt"); }, kPermissionDenied},
      {"rename onto", [] { rename("C:\\mine.txt", "C:\\out.txt"); }, kPermissionDenied},
      {"make a folder", [] { mkDir("C:\\dangling.txt"); }, kPermissionDenied},
      {"delete", [] { kill("C:\\out.txt"); }, kFileNotFound},
      {"remove the folder", [] { rmDir("C:\\Escape"); }, kPathNotFound},
      {"rename the folder", [] { rename("C:\\Escape", "C:\\Other"); }, kFileNotFound},
      {"attributes", [] { setAttr("C:\\out.txt", kHidden); }, kFileNotFound},
      {"write inside", [] { writeFile("C:\\Escape\\new.txt", "in"); }, kPathNotFound},
      {"folder inside", [] { mkDir("C:\\Escape\\sub"); }, kPathNotFound},
      {"host path", [] { hostPath("C:\\out.txt"); }, kPathNotFound},
  };
  for (const Case& k : cases) EXPECT_EQ(errorOf(k.call), k.error) << k.what;

  EXPECT_EQ(m.read("C:\\mine.txt"), "mine");
  std::string text;
  std::getline(std::ifstream(outside / "target.txt"), text);
  EXPECT_EQ(text, "outside");
  EXPECT_FALSE(fs::exists(outside / "made.txt"));
  EXPECT_TRUE(fs::is_empty(outside / "folder"));
  for (const char* link : {"out.txt", "dangling.txt", "Escape"})
    EXPECT_TRUE(fs::is_symlink(c / link)) << link;
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
