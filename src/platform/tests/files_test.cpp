#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "platform/error.h"
#include "platform/machine.h"
#include "support/test_machine.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

using testsupport::errorOf;

std::vector<std::string> names(const std::vector<DirEntry>& entries) {
  std::vector<std::string> out;
  for (const DirEntry& e : entries) out.push_back(e.name);
  return out;
}

TEST(Files, ShortAndLongFormsOfExistingPaths) {
  testsupport::TestMachine m;
  EXPECT_EQ(shortPath("C:\\Program Files\\Kelvaran\\zip.exe"), "C:\\PROGRA~1\\KELVARAN\\ZIP.EXE");
  EXPECT_EQ(shortPath("c:\\my documents\\Letter to the club.txt"), "C:\\MYDOCU~1\\LETTER~1.TXT");
  EXPECT_EQ(longPath("C:\\PROGRA~1\\NETSCAPE\\USERS\\DEFAULT\\BOOKMARK.HTM"),
            "C:\\Program Files\\Netscape\\Users\\default\\bookmark.htm");
  EXPECT_EQ(shortPath("C:\\"), "C:\\");
  EXPECT_EQ(errorOf([] { shortPath("C:\\Program Files\\none.txt"); }), kFileNotFound);
}

TEST(Files, AliasesNeverChangeWhenSiblingsArrive) {
  testsupport::TestMachine m;
  EXPECT_EQ(shortPath("C:\\Program Files"), "C:\\PROGRA~1");
  // A sibling that sorts first must not take PROGRA~1 away, not even after a restart.
  m.mkdirs("C:\\Program Extras");
  fs::create_directory(m.root() / "drives/C/Program Aaa");  // made behind the layer's back
  m.reopen();
  EXPECT_EQ(shortPath("C:\\Program Files"), "C:\\PROGRA~1");
  EXPECT_EQ(shortPath("C:\\Program Extras"), "C:\\PROGRA~2");
  EXPECT_EQ(shortPath("C:\\Program Aaa"), "C:\\PROGRA~3");
  // Renaming gives the new name its own alias and leaves the others alone.
  rename("C:\\Program Extras", "C:\\Programs Old");
  EXPECT_EQ(shortPath("C:\\Programs Old"), "C:\\PROGRA~2");
  EXPECT_EQ(shortPath("C:\\Program Files"), "C:\\PROGRA~1");
}

// Names are looked up without listing the folder each time: what changes
// behind the layer's back in a folder it knows is still seen at once.
TEST(Files, NamesMadeOrRemovedBehindTheLayersBackAreSeenAtOnce) {
  testsupport::TestMachine m;
  m.mkdirs("C:\\Known");
  writeFile("C:\\Known\\Report of the year.txt", "x");
  EXPECT_FALSE(fileExists("C:\\Known\\OTHER.TXT"));  // the folder is known now
  const fs::path host = m.root() / "drives/C/Known";
  std::ofstream(host / "Other.txt") << "y";
  EXPECT_TRUE(fileExists("C:\\Known\\OTHER.TXT"));
  fs::rename(host / "Report of the year.txt", host / "Report of the decade.txt");
  EXPECT_FALSE(fileExists("C:\\Known\\Report of the year.txt"));
  EXPECT_EQ(shortPath("C:\\Known\\report of the decade.txt"), "C:\\KNOWN\\REPORT~1.TXT");
  std::ofstream(host / "Report of the century.txt") << "z";
  writeFile("C:\\Known\\REPORT OF THE CENTURY.TXT", "new");  // the host's file, not a second one
  EXPECT_EQ(readFile("C:\\Known\\Report of the century.txt"), "new");
  EXPECT_EQ(shortPath("C:\\Known\\Report of the century.txt"), "C:\\KNOWN\\REPORT~2.TXT");
  fs::remove(host / "Other.txt");
  EXPECT_FALSE(fileExists("C:\\Known\\Other.txt"));
  EXPECT_EQ(errorOf([] { kill("C:\\Known\\Other.txt"); }), kFileNotFound);
}

// A folder moved away behind the layer's back takes what the layer knew of
// the folders below it along: a new folder of that name is looked at afresh.
TEST(Files, AFolderReplacedBehindTheLayersBackIsLookedAtAfresh) {
  testsupport::TestMachine m;
  m.mkdirs("C:\\Outer\\Inner");
  writeFile("C:\\Outer\\Inner\\kept.txt", "x");
  EXPECT_TRUE(fileExists("C:\\Outer\\Inner\\kept.txt"));
  EXPECT_FALSE(fileExists("C:\\Outer\\Inner\\other.txt"));
  const fs::path host = m.root() / "drives/C";
  fs::rename(host / "Outer", host / "Moved");
  fs::create_directories(host / "Outer/Inner");
  std::ofstream(host / "Outer/Inner/other.txt") << "y";
  EXPECT_FALSE(fileExists("C:\\Outer\\Inner\\kept.txt"));
  EXPECT_TRUE(fileExists("C:\\Outer\\Inner\\other.txt"));
  EXPECT_TRUE(fileExists("C:\\Moved\\Inner\\kept.txt"));
  // A file that became a folder is a folder.
  fs::remove(host / "Moved/Inner/kept.txt");
  fs::create_directory(host / "Moved/Inner/kept.txt");
  EXPECT_FALSE(fileExists("C:\\Moved\\Inner\\kept.txt"));
  EXPECT_TRUE(folderExists("C:\\Moved\\Inner\\kept.txt"));
}

// Many names of one alias family: each gets the lowest free number, also
// one that a deletion gave back.
TEST(Files, AliasNumbersOfManySiblingsAreTheLowestFree) {
  testsupport::TestMachine m;
  m.mkdirs("C:\\Many");
  for (int i = 1; i <= 12; ++i) writeFile("C:\\Many\\Letter number " + std::to_string(i) + ".txt", "x");
  EXPECT_EQ(shortPath("C:\\Many\\Letter number 9.txt"), "C:\\MANY\\LETTER~9.TXT");
  EXPECT_EQ(shortPath("C:\\Many\\Letter number 12.txt"), "C:\\MANY\\LETTE~12.TXT");
  kill("C:\\Many\\LETTER~3.TXT");
  writeFile("C:\\Many\\Letter number 13.txt", "x");
  EXPECT_EQ(shortPath("C:\\Many\\Letter number 13.txt"), "C:\\MANY\\LETTER~3.TXT");
  writeFile("C:\\Many\\Letter number 14.txt", "x");
  EXPECT_EQ(shortPath("C:\\Many\\Letter number 14.txt"), "C:\\MANY\\LETTE~13.TXT");
  rename("C:\\Many\\Letter number 1.txt", "C:\\Many\\Letter number 1b.txt");  // keeps the lowest free: ~1
  EXPECT_EQ(shortPath("C:\\Many\\Letter number 1b.txt"), "C:\\MANY\\LETTER~1.TXT");
}

// The aliases of a folder's files as Windows 9x keeps them: a file that
// stays keeps its alias whatever comes and goes beside it; one that arrives
// (made, moved in, renamed) gets one that no other file of its folder holds.
// Each file holds its own tag, so a short path that leads to the wrong file shows.
TEST(Files, AliasesStayUniqueAndStableThroughEveryChangeOfTheirFolder) {
  testsupport::TestMachine m;
  m.mkdirs("C:\\A");
  m.mkdirs("C:\\B");
  using Expected = std::map<std::string, std::string>;  // long path -> short path
  struct Step {
    const char* what;
    std::function<void()> act;
    Expected files;
  };
  const auto make = [](const char* path) { return [path] { writeFile(path, path); }; };
  const std::string a1 = "C:\\A\\Long File Name.txt", a3 = "C:\\A\\Long File Name 3.txt";
  const Step steps[] = {
      {"create",
       [&] {
         make("C:\\A\\Long File Name.txt")();
         make("C:\\B\\Long File Name 2.txt")();
         make("C:\\A\\Long File Name 3.txt")();
       },
       {{a1, "C:\\A\\LONGFI~1.TXT"},
        {"C:\\B\\Long File Name 2.txt", "C:\\B\\LONGFI~1.TXT"},
        {a3, "C:\\A\\LONGFI~2.TXT"}}},
      {"move in",
       [] { rename("C:\\B\\Long File Name 2.txt", "C:\\A\\Long File Name 2.txt"); },
       {{a1, "C:\\A\\LONGFI~1.TXT"},
        {"C:\\A\\Long File Name 2.txt", "C:\\A\\LONGFI~3.TXT"},
        {a3, "C:\\A\\LONGFI~2.TXT"}}},
      {"move out",
       [] { rename("C:\\A\\LONGFI~1.TXT", "C:\\B\\Long File Name.txt"); },
       {{"C:\\B\\Long File Name.txt", "C:\\B\\LONGFI~1.TXT"},
        {"C:\\A\\Long File Name 2.txt", "C:\\A\\LONGFI~3.TXT"},
        {a3, "C:\\A\\LONGFI~2.TXT"}}},
      {"rename in place",
       [] { rename("C:\\A\\Long File Name 3.txt", "C:\\A\\Long File Name 4.txt"); },
       {{"C:\\B\\Long File Name.txt", "C:\\B\\LONGFI~1.TXT"},
        {"C:\\A\\Long File Name 2.txt", "C:\\A\\LONGFI~3.TXT"},
        {"C:\\A\\Long File Name 4.txt", "C:\\A\\LONGFI~1.TXT"}}},
      {"delete",
       [] { kill("C:\\A\\LONGFI~3.TXT"); },
       {{"C:\\B\\Long File Name.txt", "C:\\B\\LONGFI~1.TXT"},
        {"C:\\A\\Long File Name 4.txt", "C:\\A\\LONGFI~1.TXT"}}},
      {"create after the delete",
       [&] { make("C:\\A\\Long File Name 5.txt")(); },
       {{"C:\\B\\Long File Name.txt", "C:\\B\\LONGFI~1.TXT"},
        {"C:\\A\\Long File Name 4.txt", "C:\\A\\LONGFI~1.TXT"},
        {"C:\\A\\Long File Name 5.txt", "C:\\A\\LONGFI~2.TXT"}}},
      {"reopen",
       [&] { m.reopen(); },
       {{"C:\\B\\Long File Name.txt", "C:\\B\\LONGFI~1.TXT"},
        {"C:\\A\\Long File Name 4.txt", "C:\\A\\LONGFI~1.TXT"},
        {"C:\\A\\Long File Name 5.txt", "C:\\A\\LONGFI~2.TXT"}}},
  };
  // The tag a file was made with: the path it was made under.
  std::map<std::string, std::string> tags = {{"C:\\A\\Long File Name 2.txt", "C:\\B\\Long File Name 2.txt"},
                                             {"C:\\B\\Long File Name.txt", a1},
                                             {"C:\\A\\Long File Name 4.txt", a3}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    for (const auto& [longName, shortName] : step.files) {
      EXPECT_EQ(shortPath(longName), shortName) << longName;
      const auto tag = tags.find(longName);
      EXPECT_EQ(readFile(shortName), tag == tags.end() ? longName : tag->second) << shortName;
    }
    for (const char* folder : {"C:\\A\\*.*", "C:\\B\\*.*"}) {
      const std::vector<DirEntry> listed = findFiles(folder);
      std::set<std::string> aliases;
      for (const DirEntry& e : listed) aliases.insert(e.shortName);
      EXPECT_EQ(aliases.size(), listed.size()) << folder;
    }
  }
}

// A machine whose bookkeeping already gives two files of a folder one alias
// (as a move into the folder once did): on opening, the file entered first
// keeps it and the other gets an alias of its own.
TEST(Files, AnAliasTwoFilesShareIsMadeUniqueWhenTheMachineOpens) {
  testsupport::TestMachine m;
  m.write("C:\\A\\Long File Name.txt", "first");
  m.write("C:\\A\\Long File Name 2.txt", "second");
  ASSERT_EQ(shortPath("C:\\A\\Long File Name 2.txt"), "C:\\A\\LONGFI~2.TXT");
  closeMachine();
  std::ofstream(m.root() / "drives/C.meta", std::ios::app)
      << "999\t32\tLONGFI~1.TXT\tA/Long File Name 2.txt\n";
  m.reopen();
  EXPECT_EQ(shortPath("C:\\A\\Long File Name.txt"), "C:\\A\\LONGFI~1.TXT");
  EXPECT_EQ(shortPath("C:\\A\\Long File Name 2.txt"), "C:\\A\\LONGFI~2.TXT");
  EXPECT_EQ(readFile("C:\\A\\LONGFI~1.TXT"), "first");
  m.reopen();
  EXPECT_EQ(readFile("C:\\A\\LONGFI~2.TXT"), "second");
}

TEST(Files, ListingsWithAttributeMasksDotsAndVolumeLabel) {
  testsupport::TestMachine m;
  std::vector<std::string> root = names(findFiles("C:\\*.*"));
  EXPECT_EQ(std::count(root.begin(), root.end(), "MSDOS.SYS"), 0);  // hidden, system
  EXPECT_EQ(std::count(root.begin(), root.end(), "AUTOEXEC.BAT"), 1);
  EXPECT_EQ(std::count(root.begin(), root.end(), "WINDOWS"), 0);  // folders only when asked
  std::vector<std::string> all = names(findFiles("C:\\", kHidden | kSystem | kDirectory));
  EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 4),
            (std::vector<std::string>{"IO.SYS", "MSDOS.SYS", "COMMAND.COM", "DRVSPACE.BIN"}));
  EXPECT_EQ(std::count(all.begin(), all.end(), "."), 0);  // no dots in a root
  EXPECT_EQ(std::count(all.begin(), all.end(), "WINDOWS"), 1);

  auto sub = findFiles("C:\\WINDOWS\\*.*", kDirectory);
  ASSERT_GE(sub.size(), 2u);
  EXPECT_EQ(sub[0].name, ".");
  EXPECT_EQ(sub[1].name, "..");
  EXPECT_EQ(names(findFiles("C:\\WINDOWS\\S*.INI")), (std::vector<std::string>{"SYSTEM.INI"}));
  // Matched on the short name too, as Windows does.
  EXPECT_EQ(names(findFiles("C:\\PROGRA~1\\NETSCAPE\\USERS\\DEFAULT\\*.HTM")),
            (std::vector<std::string>{"bookmark.htm"}));
  EXPECT_EQ(names(findFiles("C:\\*.HTM", kDirectory)).size(), 0u);
  auto label = findFiles("C:\\", kVolume);
  ASSERT_EQ(label.size(), 1u);
  EXPECT_EQ(label[0].name, "DEMO98");
  EXPECT_EQ(label[0].attributes, kVolume);
  EXPECT_TRUE(findFiles("C:\\Nowhere\\*.*").empty());
  m.eject('A');
  EXPECT_EQ(errorOf([] { findFiles("A:\\*.*"); }), kDiskNotReady);
}

TEST(Files, ListingOrderIsCreationOrderNeverTheHostsOrder) {
  testsupport::TestMachine m;
  m.mkdirs("C:\\Order");
  for (const char* name : {"zeta.txt", "Alpha.txt", "mid.txt"})
    writeFile(std::string("C:\\Order\\") + name, "x");
  // Files that appear behind the layer's back are placed after, sorted without regard to case.
  for (const char* name : {"b2.txt", "B1.txt", "a3.txt"})
    std::ofstream(m.root() / "drives/C/Order" / name) << "y";
  EXPECT_EQ(names(findFiles("C:\\Order\\*.*")),
            (std::vector<std::string>{"zeta.txt", "Alpha.txt", "mid.txt", "a3.txt", "B1.txt", "b2.txt"}));
}

// A folder listed once is listed again from what the layer knows of it: its
// own changes and those made behind its back are in the next listing all the same.
TEST(Files, ListingsOfAKnownFolderFollowEveryChange) {
  testsupport::TestMachine m;
  m.mkdirs("C:\\Seen\\Sub");
  writeFile("C:\\Seen\\one.txt", "1");
  writeFile("C:\\Seen\\two.txt", "2");
  const int all = kHidden | kSystem | kDirectory;
  EXPECT_EQ(names(findNames("C:\\Seen\\*.*", all)),
            (std::vector<std::string>{".", "..", "Sub", "one.txt", "two.txt"}));
  const fs::path host = m.root() / "drives/C/Seen";
  std::ofstream(host / "made.txt") << "y";
  fs::remove(host / "one.txt");
  writeFile("C:\\Seen\\own.txt", "3");
  setAttr("C:\\Seen\\two.txt", kHidden);
  EXPECT_EQ(names(findFiles("C:\\Seen\\*.*", all)),
            (std::vector<std::string>{".", "..", "Sub", "two.txt", "made.txt", "own.txt"}));
  EXPECT_EQ(names(findFiles("C:\\Seen\\*.txt")), (std::vector<std::string>{"made.txt", "own.txt"}));
  fs::remove_all(host / "Sub");
  fs::create_directory(host / "two.txt.d");
  const auto listed = findNames("C:\\Seen\\*.*", all);
  EXPECT_EQ(names(listed),
            (std::vector<std::string>{".", "..", "two.txt", "made.txt", "own.txt", "two.txt.d"}));
  EXPECT_EQ(listed.back().attributes & kDirectory, kDirectory);
  EXPECT_EQ(listed.back().size, 0);
}

TEST(Files, ForbiddenHostNamesAreHiddenAndRefused) {
  testsupport::TestMachine m;
  std::ofstream(m.root() / "drives/C/bad:name") << "x";
  std::ofstream(m.root() / "drives/C/trailing.") << "x";
  std::ofstream(m.root() / "drives/C/ok name.txt") << "x";
  auto listed = names(findFiles("C:\\*.*"));
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "bad:name"), 0);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "trailing."), 0);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "ok name.txt"), 1);
  EXPECT_EQ(errorOf([] { readFile("C:\\trailing."); }), kFileNotFound);  // it names C:\trailing
  EXPECT_EQ(errorOf([] { writeFile("C:\\new?.txt", "x"); }), kBadFileNameOrNumber);
}

// Windows drops the dots and blanks a name ends in: "name." is made, found
// and listed as "name".
TEST(Files, NamesEndingInADotOrBlankAreTheNameWithout) {
  testsupport::TestMachine m;
  m.mkdirs("C:\\Made");
  struct Case {
    const char* given;
    const char* made;
  };
  const Case cases[] = {
      {"C:\\Made\\name.", "name"},
      {"C:\\Made\\two dots..", "two dots"},
      {"C:\\Made\\Long name. ", "Long name"},
      {"C:\\Made.\\in folder.txt", "in folder.txt"},
  };
  for (const Case& c : cases) {
    writeFile(c.given, c.given);
    EXPECT_EQ(readFile(std::string("C:\\Made\\") + c.made), c.given) << c.given;
    EXPECT_EQ(readFile(c.given), c.given) << c.given;
  }
  mkDir("C:\\Made\\Folder.");
  EXPECT_TRUE(folderExists("C:\\Made\\Folder"));
  EXPECT_EQ(
      names(findFiles("C:\\Made\\*.*", kDirectory)),
      (std::vector<std::string>{".", "..", "name", "two dots", "Long name", "in folder.txt", "Folder"}));
  // A pattern keeps its dot: "*." is every name without an extension.
  EXPECT_EQ(names(findFiles("C:\\Made\\*.")), (std::vector<std::string>{"name", "two dots", "Long name"}));
  EXPECT_EQ(errorOf([] { writeFile("C:\\Made\\...", "x"); }), kBadFileNameOrNumber);
}

TEST(Files, AttributesPersistAcrossACopyOfTheRoot) {
  fs::path copy = fs::temp_directory_path() / "kelvaran-root-copy";
  fs::remove_all(copy);
  {
    testsupport::TestMachine m;
    EXPECT_EQ(getAttr("C:\\MSDOS.SYS"), kReadOnly | kHidden | kSystem);
    EXPECT_EQ(getAttr("C:\\WINDOWS"), kDirectory);
    EXPECT_EQ(getAttr("C:\\AUTOEXEC.BAT"), kArchive);
    setAttr("C:\\AUTOEXEC.BAT", kReadOnly | kHidden);
    setAttr("C:\\WINDOWS\\WIN.INI", kNormal);
    fs::copy(m.root(), copy, fs::copy_options::recursive);
  }
  openMachine(copy);
  EXPECT_EQ(getAttr("C:\\AUTOEXEC.BAT"), kReadOnly | kHidden);
  EXPECT_EQ(getAttr("C:\\WINDOWS\\WIN.INI"), kNormal);
  EXPECT_EQ(shortPath("C:\\Program Files"), "C:\\PROGRA~1");
  closeMachine();
  fs::remove_all(copy);
}

TEST(Files, ReadOnlyFilesRefuseWritesAndDeletes) {
  testsupport::TestMachine m;
  EXPECT_EQ(errorOf([] { writeFile("C:\\MSDOS.SYS", "x"); }), kPermissionDenied);
  EXPECT_EQ(errorOf([] { appendFile("C:\\MSDOS.SYS", "x"); }), kPermissionDenied);
  EXPECT_EQ(errorOf([] { File("C:\\MSDOS.SYS", File::Mode::Write); }), kPermissionDenied);
  m.write("C:\\TEMP\\ro.txt", "keep");
  setAttr("C:\\TEMP\\ro.txt", kReadOnly);
  EXPECT_EQ(errorOf([] { kill("C:\\TEMP\\ro.txt"); }), kPathFileAccess);
  EXPECT_EQ(errorOf([] { fileCopy("C:\\AUTOEXEC.BAT", "C:\\TEMP\\ro.txt"); }), kPathFileAccess);
  EXPECT_EQ(readFile("C:\\TEMP\\ro.txt"), "keep");
  setAttr("C:\\TEMP\\ro.txt", kNormal);
  kill("C:\\TEMP\\ro.txt");
  EXPECT_FALSE(fileExists("C:\\TEMP\\ro.txt"));
}

TEST(Files, OperationsAndTheirErrors) {
  testsupport::TestMachine m;
  writeFile("C:\\WINDOWS\\TEMP\\a.txt", "one");
  appendFile("C:\\WINDOWS\\TEMP\\a.txt", "+two");
  EXPECT_EQ(readFile("c:\\windows\\temp\\A.TXT"), "one+two");
  EXPECT_EQ(fileLen("C:\\WINDOWS\\TEMP\\a.txt"), 7);
  EXPECT_EQ(errorOf([] { fileLen("C:\\WINDOWS\\TEMP\\none"); }), kFileNotFound);
  EXPECT_EQ(errorOf([] { readFile("C:\\WINDOWS\\TEMP\\none"); }), kFileNotFound);
  EXPECT_EQ(errorOf([] { readFile("C:\\WINDOWS"); }), kPathFileAccess);
  EXPECT_EQ(errorOf([] { writeFile("C:\\NoFolder\\a.txt", "x"); }), kPathNotFound);

  mkDir("C:\\WINDOWS\\TEMP\\Sub");
  EXPECT_EQ(errorOf([] { mkDir("C:\\WINDOWS\\TEMP\\SUB"); }), kPathFileAccess);
  EXPECT_EQ(errorOf([] { mkDir("C:\\No\\Sub"); }), kPathNotFound);
  writeFile("C:\\WINDOWS\\TEMP\\Sub\\x.kv1", "1");
  EXPECT_EQ(errorOf([] { rmDir("C:\\WINDOWS\\TEMP\\Sub"); }), kPathFileAccess);
  EXPECT_EQ(errorOf([] { rmDir("C:\\"); }), kPathFileAccess);

  // Copy onto itself (through an alias) is a no-op, never a truncation.
  std::string budget = readFile("C:\\My Documents\\Budget 1999.csv");
  ASSERT_FALSE(budget.empty());
  fileCopy("C:\\My Documents\\Budget 1999.csv", "C:\\MYDOCU~1\\BUDGET~1.CSV");
  EXPECT_EQ(readFile("C:\\My Documents\\Budget 1999.csv"), budget);
  fileCopy("C:\\My Documents\\Budget 1999.csv", "C:\\WINDOWS\\TEMP\\Sub\\b.csv");
  EXPECT_EQ(readFile("C:\\WINDOWS\\TEMP\\Sub\\b.csv"), readFile("C:\\My Documents\\Budget 1999.csv"));
  EXPECT_EQ(fileDateTime("C:\\WINDOWS\\TEMP\\Sub\\b.csv"), fileDateTime("C:\\My Documents\\Budget 1999.csv"));
  EXPECT_EQ(errorOf([] { fileCopy("C:\\none", "C:\\x"); }), kFileNotFound);

  EXPECT_EQ(errorOf([] { rename("C:\\WINDOWS\\TEMP\\a.txt", "C:\\WINDOWS\\WIN.INI"); }), kFileAlreadyExists);
  EXPECT_EQ(errorOf([] { rename("C:\\none", "C:\\x"); }), kFileNotFound);
  EXPECT_EQ(errorOf([] { rename("C:\\WINDOWS\\TEMP\\a.txt", "A:\\a.txt"); }), 74);
  rename("C:\\WINDOWS\\TEMP\\a.txt", "C:\\WINDOWS\\TEMP\\Sub\\Moved File.txt");
  EXPECT_EQ(readFile("C:\\WINDOWS\\TEMP\\SUB\\MOVEDF~1.TXT"), "one+two");
  rename("C:\\WINDOWS\\TEMP\\Sub\\Moved File.txt", "C:\\WINDOWS\\TEMP\\Sub\\MOVED FILE.TXT");  // case only
  EXPECT_EQ(longPath("C:\\WINDOWS\\TEMP\\Sub\\moved file.txt"), "C:\\WINDOWS\\TEMP\\Sub\\MOVED FILE.TXT");

  kill("C:\\WINDOWS\\TEMP\\Sub\\*.kv?");
  EXPECT_FALSE(fileExists("C:\\WINDOWS\\TEMP\\Sub\\x.kv1"));
  EXPECT_EQ(errorOf([] { kill("C:\\WINDOWS\\TEMP\\Sub\\*.kv?"); }), kFileNotFound);
  setAttr("C:\\WINDOWS\\COMMAND\\EBD\\IO.SYS", kHidden);
  mkDir("C:\\WINDOWS\\COMMAND\\EBD\\Sub");
  EXPECT_EQ(errorOf([] { kill("C:\\WINDOWS\\COMMAND\\EBD\\*.*"); }),
            kFileNotFound);  // folders and hidden files stay
  EXPECT_TRUE(fileExists("C:\\WINDOWS\\COMMAND\\EBD\\IO.SYS"));
  kill("C:\\WINDOWS\\TEMP\\Sub\\*.*");
  rmDir("C:\\WINDOWS\\TEMP\\Sub");
  EXPECT_FALSE(folderExists("C:\\WINDOWS\\TEMP\\Sub"));
}

TEST(Files, OpenFilesReadWriteSeekAndBlockDeletion) {
  testsupport::TestMachine m;
  {
    File f("C:\\WINDOWS\\TEMP\\data.bin", File::Mode::ReadWrite);
    f.write("abcdef");
    f.seek(2);
    EXPECT_EQ(f.read(2), "cd");
    f.seek(1);
    f.write("XY");
    EXPECT_EQ(f.size(), 6);
    EXPECT_EQ(errorOf([] { kill("C:\\WINDOWS\\TEMP\\data.bin"); }), kPathFileAccess);
  }
  EXPECT_EQ(readFile("C:\\WINDOWS\\TEMP\\data.bin"), "aXYdef");
  File r("C:\\WINDOWS\\TEMP\\data.bin", File::Mode::Read);
  EXPECT_EQ(r.read(100), "aXYdef");
  EXPECT_EQ(r.read(1), "");
  EXPECT_EQ(errorOf([&] { r.write("x"); }), kBadFileMode);
  EXPECT_EQ(errorOf([] { File("C:\\WINDOWS\\TEMP\\none", File::Mode::Read); }), kFileNotFound);
}

// FAT keeps write times in two-second steps: a time written on a FAT drive
// (fixed, floppy) keeps no odd second, and one found there reads without
// it; a network drive keeps what it is given.
TEST(Files, WriteTimesOnFatDrivesAreKeptInTwoSecondSteps) {
  testsupport::TestMachine m;
  m.addMedium({.label = "DISK"}, 'A');
  const DateTime odd{1999, 12, 31, 23, 59, 59}, even{1999, 12, 31, 23, 59, 58};
  m.write("N:\\odd.txt", "n");
  setFileDateTime("N:\\odd.txt", odd);
  struct Case {
    const char* what;
    const char* file;
    std::function<void()> make;
    DateTime written;
  };
  const Case cases[] = {
      {"set on a fixed drive", "C:\\set.txt",
       [] {
         setFileDateTime("C:\\set.txt", {1999, 12, 31, 23, 59, 59});
       },
       even},
      {"set on a floppy", "A:\\set.txt",
       [] {
         setFileDateTime("A:\\set.txt", {1999, 12, 31, 23, 59, 59});
       },
       even},
      {"set on a network drive", "N:\\odd.txt", [] {}, odd},
      {"copied to a fixed drive", "C:\\copy.txt", [] { fileCopy("N:\\odd.txt", "C:\\copy.txt"); }, even},
      {"copied to a network drive", "N:\\copy.txt", [] { fileCopy("N:\\odd.txt", "N:\\copy.txt"); }, odd},
      {"set behind the layer's back", "C:\\back.txt",
       [&m] { fs::last_write_time(m.host("C:\\back.txt"), fs::last_write_time(m.host("N:\\odd.txt"))); },
       even},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!fileExists(c.file)) m.write(c.file, "x");
    c.make();
    EXPECT_EQ(fileDateTime(c.file), c.written);
    ASSERT_EQ(findFiles(c.file).size(), 1u);
    EXPECT_EQ(findFiles(c.file)[0].written, c.written);
  }
}

TEST(Files, DatesAreSetAndRead) {
  testsupport::TestMachine m;
  DateTime when{1999, 12, 31, 23, 58, 30};
  setFileDateTime("C:\\AUTOEXEC.BAT", when);
  EXPECT_EQ(fileDateTime("C:\\AUTOEXEC.BAT"), when);
  EXPECT_EQ(findFiles("C:\\AUTOEXEC.BAT")[0].written, when);
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

// A copy only to be read shares the original's storage where it can, and is
// a copy in every way the machine shows: bytes, date, attributes, free space.
TEST(Files, ACopyForReadingIsACopyToTheMachine) {
  testsupport::TestMachine m;
  m.mkdirs("C:\\Staged");
  const std::string bytes(10000, 's');
  writeFile("C:\\original.txt", bytes);
  setAttr("C:\\original.txt", kHidden);
  const std::int64_t before = freeBytes("C:\\");
  fileCopyForReading("C:\\original.txt", "C:\\Staged\\copy.txt");
  EXPECT_EQ(readFile("C:\\Staged\\copy.txt"), bytes);
  EXPECT_EQ(fileDateTime("C:\\Staged\\copy.txt"), fileDateTime("C:\\original.txt"));
  EXPECT_EQ(getAttr("C:\\Staged\\copy.txt"), kHidden | kArchive);
  EXPECT_EQ(before - freeBytes("C:\\"), 12288);  // three 4 KB clusters, as a copy takes
  EXPECT_EQ(fs::hard_link_count(m.host("C:\\Staged\\copy.txt")), 2u);
  const auto removeCopy = [] {
    setAttr("C:\\Staged\\copy.txt", kNormal);  // Kill leaves hidden files alone
    kill("C:\\Staged\\COPY.TXT");
  };
  removeCopy();
  EXPECT_EQ(readFile("C:\\original.txt"), bytes);
  EXPECT_EQ(freeBytes("C:\\"), before);

  // Where a shared file would not be what a copy is, it is a copy.
  struct Case {
    const char* name;
    std::function<void()> arrange;
    int error;
  } cases[] = {
      {"the target exists", [] { writeFile("C:\\Staged\\copy.txt", "old"); }, 0},
      {"another host mode", [&m] { fs::permissions(m.host("C:\\original.txt"), fs::perms::owner_all); }, 0},
      {"no room", [&m] { m.setDrive('C', "Capacity", "1"); }, kDiskFull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    EXPECT_EQ(errorOf([] { fileCopyForReading("C:\\original.txt", "C:\\Staged\\copy.txt"); }), c.error);
    if (c.error == 0) {
      EXPECT_EQ(readFile("C:\\Staged\\copy.txt"), bytes);
      EXPECT_EQ(fs::hard_link_count(m.host("C:\\Staged\\copy.txt")), 1u);
    }
    removeCopy();
  }
}

// A move puts back what a copy would, without writing the bytes again: on
// the same drive the file is renamed over the target (its storage stays
// the same), its source gone and the free space as after a copy and a
// delete; on another drive it is a copy, and the source stays.
TEST(Files, AMoveLeavesWhatACopyAndADeleteLeave) {
  testsupport::TestMachine m;
  const std::string bytes(9000, 'm');
  const auto arrange = [&m, &bytes] {
    m.write("C:\\Work\\copy.txt", bytes);
    setAttr("C:\\Work\\copy.txt", kHidden);
  };
  arrange();
  m.write("C:\\Target\\file.txt", std::string(20000, 'o'));
  const std::int64_t before = freeBytes("C:\\");
  const DateTime written = fileDateTime("C:\\Work\\copy.txt");
  const auto hostInode = [&m](const char* path) {
    struct stat info {};
    ::stat(m.host(path).c_str(), &info);
    return info.st_ino;
  };
  const auto source = hostInode("C:\\Work\\copy.txt");
  EXPECT_TRUE(fileMove("C:\\Work\\copy.txt", "C:\\TARGET\\FILE.TXT"));
  EXPECT_EQ(readFile("C:\\Target\\file.txt"), bytes);
  EXPECT_EQ(hostInode("C:\\Target\\file.txt"), source);
  EXPECT_EQ(longPath("C:\\TARGET\\FILE.TXT"), "C:\\Target\\file.txt");  // the target keeps its spelling
  EXPECT_EQ(getAttr("C:\\Target\\file.txt"), kHidden | kArchive);
  EXPECT_EQ(fileDateTime("C:\\Target\\file.txt"), written);
  EXPECT_FALSE(fileExists("C:\\Work\\copy.txt"));
  EXPECT_EQ(freeBytes("C:\\") - before, 20480);  // five clusters of the old file free, the moved three kept

  // A new name, and a target that may not be written.
  arrange();
  EXPECT_TRUE(fileMove("C:\\Work\\copy.txt", "C:\\Target\\New name.txt"));
  EXPECT_EQ(shortPath("C:\\Target\\New name.txt"), "C:\\TARGET\\NEWNAM~1.TXT");
  arrange();
  setAttr("C:\\Target\\file.txt", kReadOnly);
  EXPECT_EQ(errorOf([] { fileMove("C:\\Work\\copy.txt", "C:\\Target\\file.txt"); }), kPathFileAccess);
  EXPECT_TRUE(fileExists("C:\\Work\\copy.txt"));
  EXPECT_EQ(errorOf([] { fileMove("C:\\Work\\copy.txt", "C:\\Target"); }), kPathFileAccess);

  // Another drive: a copy.
  EXPECT_FALSE(fileMove("C:\\Work\\copy.txt", "N:\\file.txt"));
  EXPECT_EQ(readFile("N:\\file.txt"), bytes);
  EXPECT_TRUE(fileExists("C:\\Work\\copy.txt"));
}

TEST(Files, ABatchOfOperationsWritesTheBookkeepingOnceAndMissesNoChange) {
  testsupport::TestMachine m;
  m.mkdirs("C:\\Staged");
  writeFile("C:\\Original of the user.txt", "u");
  const fs::path meta = m.root() / "drives/C.meta";
  {
    FileBatch batch;
    const auto written = fs::file_size(meta);
    for (int i = 1; i <= 300; ++i)
      fileCopyForReading("C:\\Original of the user.txt",
                         "C:\\Staged\\Copy number " + std::to_string(i) + ".txt");
    EXPECT_EQ(fs::file_size(meta), written);  // not yet
    EXPECT_EQ(shortPath("C:\\Staged\\Copy number 300.txt"), "C:\\STAGED\\COPY~300.TXT");
    std::ofstream(m.root() / "drives/C/Staged/Made meanwhile.txt") << "m";
  }
  // Made behind the layer's back while the batch ran: seen right after it.
  EXPECT_TRUE(fileExists("C:\\Staged\\MADEME~1.TXT"));
  m.reopen();
  EXPECT_EQ(shortPath("C:\\Staged\\Copy number 300.txt"), "C:\\STAGED\\COPY~300.TXT");
  EXPECT_EQ(findFiles("C:\\Staged\\*.*").size(), 301u);
}

TEST(Files, NameListingsAreFileListingsWithoutSizesAndDates) {
  testsupport::TestMachine m;
  m.write("C:\\Listed\\Second file.txt", "22");
  m.write("C:\\Listed\\a.txt", "1");
  m.mkdirs("C:\\Listed\\Sub folder");
  for (int mask : {kNormal, kDirectory}) {
    const std::vector<DirEntry> files = findFiles("C:\\Listed\\*.*", mask);
    const std::vector<DirEntry> plain = findNames("C:\\Listed\\*.*", mask);
    ASSERT_EQ(names(plain), names(files));
    for (std::size_t i = 0; i < plain.size(); ++i) {
      EXPECT_EQ(plain[i].shortName, files[i].shortName);
      EXPECT_EQ(plain[i].attributes, files[i].attributes);
      EXPECT_EQ(plain[i].size, 0);
    }
  }
}

TEST(Files, AHandedOutFileRenamedIsStillFollowed) {
  testsupport::TestMachine m;
  m.write("C:\\Handed\\out.txt", "x");
  const fs::path host = hostPath("C:\\Handed\\out.txt");
  const std::int64_t before = freeBytes("C:\\");
  rename("C:\\Handed", "C:\\Moved");
  std::ofstream(m.root() / "drives/C/Moved/out.txt", std::ios::app) << std::string(10000, 'y');
  EXPECT_EQ(before - freeBytes("C:\\"), 8192);  // two more 4 KB clusters
  (void)host;
}

}  // namespace
}  // namespace platform
