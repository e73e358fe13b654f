// zip.exe and Unzip32.exe as the program runs them, over the host's Info-ZIP
// zip and unzip: the entries each command line stores, unpacking them back
// to the right places, and archives that try to write elsewhere.
#include "platform/infozip.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/shortname.h"
#include "platform/zip_directory.h"
#include "support/test_machine.h"
#include "support/zip_fixture.h"

namespace {

using Names = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr const char* kNetscape = R"(C:\Program Files\Netscape\Users\default)";

class InfoZipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m.remove(R"(C:\WINDOWS\Start Menu)");  // the fixture's own trees, not the demo machine's
    m.remove(R"(C:\Program Files\Netscape)");
    m.write(R"(C:\KELVARAN\zip.exe)", "stub");
    m.write(R"(C:\KELVARAN\Unzip32.exe)", "stub");
    m.mkdirs(R"(C:\SAVE)");
    m.write(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)", "[boot]\r\n");
    m.write(R"(C:\WINDOWS\TEMP\kelvaran\win.ini)", "[windows]\r\n");
    m.write(R"(C:\WINDOWS\TEMP\kelvaran\msdos.sys)", "[Paths]\r\n");
    m.setAttributes(R"(C:\WINDOWS\TEMP\kelvaran\msdos.sys)",
                    platform::kReadOnly | platform::kHidden | platform::kSystem);
    m.write(R"(C:\WINDOWS\Start Menu\Programs\Accessories\Notepad.lnk)", "lnk");
    m.write(R"(C:\WINDOWS\Start Menu\Programs\desktop.ini)", "[.ShellClassInfo]");
    m.setAttributes(R"(C:\WINDOWS\Start Menu\Programs\desktop.ini)", platform::kHidden);
    m.write(R"(C:\WINDOWS\Application Data\Microsoft\Address Book\Anwender.wab)", "wab");
    const std::string ns = kNetscape;
    m.write(ns + R"(\bookmark.htm)", "<html>");
    m.write(ns + R"(\cookies.txt)", "cookies");
    m.write(ns + R"(\Mail\Inbox)", "mail 1");
    m.write(ns + R"(\Mail\Sent)", "mail 2");
    platform::chDrive('C');
    platform::chDir(R"(C:\KELVARAN)");
  }

  int run(const std::string& commandLine) { return platform::runAndWait(commandLine); }

  Names entries(const std::string& archive) {
    Names names;
    for (const auto& member : platform::zipdir::readMembers(m.host(archive))) names.push_back(member.name);
    std::sort(names.begin(), names.end());
    return names;
  }

  const platform::zipdir::Member member(const std::string& archive, const std::string& name) {
    for (const auto& member : platform::zipdir::readMembers(m.host(archive)))
      if (member.name == name) return member;
    ADD_FAILURE() << name << " not in " << archive;
    return {};
  }

  std::vector<std::string> folderNames(const std::string& pattern, int mask = platform::kDirectory) {
    std::vector<std::string> names;
    for (const auto& e : platform::findFiles(pattern, mask))
      if (e.name != "." && e.name != "..") names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
  }

  // The names in a folder that equal `name` but for case.
  Names spellings(const std::string& pattern, const std::string& name) {
    Names out;
    for (const auto& n : folderNames(pattern))
      if (platform::upperCase(n) == platform::upperCase(name)) out.push_back(n);
    return out;
  }

  testsupport::TestMachine m;
};

TEST_F(InfoZipTest, EachSaveCommandLineStoresDriveRelativeNames) {
  struct Case {
    std::vector<std::string> lines;
    std::string archive;
    Names names;
  };
  const std::string ns = "Program Files/Netscape/Users/default/";
  const Case cases[] = {
      {{R"(zip.exe -5qurS "C:\SAVE\Conf1s.kvz" "C:\WINDOWS\Start Menu\*.*")"},
       R"(C:\SAVE\Conf1s.kvz)",
       {"WINDOWS/Start Menu/Programs/", "WINDOWS/Start Menu/Programs/Accessories/",
        "WINDOWS/Start Menu/Programs/Accessories/Notepad.lnk", "WINDOWS/Start Menu/Programs/desktop.ini"}},
      {{R"(zip.exe -5qur "C:\SAVE\NoHidden.kvz" "C:\WINDOWS\Start Menu\*.*")"},  // without S: no hidden files
       R"(C:\SAVE\NoHidden.kvz)",
       {"WINDOWS/Start Menu/Programs/", "WINDOWS/Start Menu/Programs/Accessories/",
        "WINDOWS/Start Menu/Programs/Accessories/Notepad.lnk"}},
      {{R"(zip.exe -9gqoruS "C:\SAVE\Conf1.kvz" C:\WINDOWS\TEMP\kelvaran\*.*)"},
       R"(C:\SAVE\Conf1.kvz)",
       {"WINDOWS/TEMP/kelvaran/msdos.sys", "WINDOWS/TEMP/kelvaran/system.ini",
        "WINDOWS/TEMP/kelvaran/win.ini"}},
      {{R"(zip.exe -5q "C:\SAVE\Conf1ma.kvz" "C:\WINDOWS\Application Data\Microsoft\Address Book\Anwender.wab")"},
       R"(C:\SAVE\Conf1ma.kvz)",
       {"WINDOWS/Application Data/Microsoft/Address Book/Anwender.wab"}},
      {{R"(zip.exe -1gqouS Configd.kvz C:\WINDOWS\TEMP\kelvaran\*.*)"},  // relative archive: the current
                                                                         // folder
       R"(C:\KELVARAN\Configd.kvz)",
       {"WINDOWS/TEMP/kelvaran/msdos.sys", "WINDOWS/TEMP/kelvaran/system.ini",
        "WINDOWS/TEMP/kelvaran/win.ini"}},
      {{std::string(R"(zip.exe -5qgurS "C:\SAVE\Conf1na.kvz" ")") + kNetscape + R"(\Bookmark.htm")",
        std::string(R"(zip.exe -5qgurS "C:\SAVE\Conf1na.kvz" ")") + kNetscape + R"(\Cookies.txt")",
        std::string(R"(zip.exe -5qgurS "C:\SAVE\Conf1na.kvz" ")") + kNetscape + R"(\Mail\*.*")"},
       R"(C:\SAVE\Conf1na.kvz)",
       {ns + "Mail/Inbox", ns + "Mail/Sent", ns + "bookmark.htm", ns + "cookies.txt"}},
  };
  for (const Case& c : cases) {
    for (const auto& line : c.lines) EXPECT_EQ(run(line), 0) << line << "\n" << platform::lastProcessOutput();
    EXPECT_EQ(entries(c.archive), c.names) << c.lines.front();
  }
}

TEST_F(InfoZipTest, StoresDosAttributesOfTheEntries) {
  ASSERT_EQ(run(R"(zip.exe -5qurS "C:\SAVE\Conf1.kvz" C:\WINDOWS\TEMP\kelvaran\*.*)"), 0);
  const int protectedBits = platform::kReadOnly | platform::kHidden | platform::kSystem;
  EXPECT_EQ(member(R"(C:\SAVE\Conf1.kvz)", "WINDOWS/TEMP/kelvaran/msdos.sys").dosAttributes() & protectedBits,
            protectedBits);
  EXPECT_EQ(member(R"(C:\SAVE\Conf1.kvz)", "WINDOWS/TEMP/kelvaran/win.ini").dosAttributes() & protectedBits,
            0);
}

// With o the archive carries its newest entry's date, also after the
// attributes of its entries were written into it.
TEST_F(InfoZipTest, TheOOptionDatesTheArchiveByItsNewestEntry) {
  const platform::DateTime newest{2001, 5, 6, 10, 20, 30};
  platform::setFileDateTime(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)", {1999, 1, 2, 3, 4, 6});
  platform::setFileDateTime(R"(C:\WINDOWS\TEMP\kelvaran\win.ini)", newest);
  platform::setFileDateTime(R"(C:\WINDOWS\TEMP\kelvaran\msdos.sys)", {2000, 7, 8, 9, 10, 12});
  ASSERT_EQ(run(R"(zip.exe -5gqoruS "C:\SAVE\Conf1.kvz" C:\WINDOWS\TEMP\kelvaran\*.*)"), 0);
  EXPECT_EQ(platform::fileDateTime(R"(C:\SAVE\Conf1.kvz)"), newest);
  EXPECT_NE(
      member(R"(C:\SAVE\Conf1.kvz)", "WINDOWS/TEMP/kelvaran/msdos.sys").dosAttributes() & platform::kHidden,
      0);

  ASSERT_EQ(run(R"(zip.exe -5gqruS "C:\SAVE\Conf2.kvz" C:\WINDOWS\TEMP\kelvaran\*.*)"), 0);
  EXPECT_GT(platform::fileDateTime(R"(C:\SAVE\Conf2.kvz)"), newest);
}

TEST_F(InfoZipTest, MoveEmptiesTheStagedTreeOnlyWhenZipSucceeds) {
  m.write(R"(C:\WINDOWS\TEMP\kelvaran\User\b.txt)", "b");
  m.write(R"(C:\WINDOWS\TEMP\kelvaran\User\C\Docs\a.doc)", "a");
  m.write(R"(C:\WINDOWS\TEMP\kelvaran\User\C\Docs\Locked copy.txt)", std::string(9000, 'l'));
  m.setAttributes(R"(C:\WINDOWS\TEMP\kelvaran\User\C\Docs\Locked copy.txt)",
                  platform::kReadOnly | platform::kHidden);
  const std::string tail = R"( "C:\WINDOWS\TEMP\kelvaran\User\*.*")";
  EXPECT_EQ(run(R"(zip.exe -5gqorumS "C:\NOFOLDER\Conf1us.kvz")" + tail), 15);
  EXPECT_TRUE(m.exists(R"(C:\WINDOWS\TEMP\kelvaran\User\C\Docs\a.doc)"));

  ASSERT_EQ(run(R"(zip.exe -5gqorumS "C:\SAVE\Conf1us.kvz")" + tail), 0) << platform::lastProcessOutput();
  EXPECT_EQ(entries(R"(C:\SAVE\Conf1us.kvz)"),
            (Names{"WINDOWS/TEMP/kelvaran/User/C/", "WINDOWS/TEMP/kelvaran/User/C/Docs/",
                   "WINDOWS/TEMP/kelvaran/User/C/Docs/Locked copy.txt",
                   "WINDOWS/TEMP/kelvaran/User/C/Docs/a.doc", "WINDOWS/TEMP/kelvaran/User/b.txt"}));
  EXPECT_TRUE(m.exists(R"(C:\WINDOWS\TEMP\kelvaran\User)"));
  EXPECT_TRUE(
      folderNames(R"(C:\WINDOWS\TEMP\kelvaran\User\*.*)", platform::kDirectory | platform::kHidden).empty());
  EXPECT_TRUE(m.exists(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)"));
  // The free space kept through the deletions is what a fresh count finds.
  const std::int64_t kept = platform::freeBytes("C:\\");
  m.reopen();
  EXPECT_EQ(platform::freeBytes("C:\\"), kept);
}

// Windows-1252 names (Cafe with e acute, Mueller Buero with u umlaut, sharp s,
// the euro sign) reach zip as their own bytes and are stored as UTF-8 with the
// archive's UTF-8 flag, so any zip reader shows the same characters; they
// unpack to the same Windows names again.
TEST_F(InfoZipTest, WindowsNamesAreStoredAsTheirCharactersAndComeBackTheSame) {
  const std::string user = R"(C:\WINDOWS\TEMP\kelvaran\User\)";
  const std::string folder = "M\xFCller B\xFCro";
  m.write(user + "Caf\xE9.txt", "cafe");
  m.write(user + folder +
              "\\Stra\xDF"
              "e \x80.url",
          "street");
  m.write(user + "plain.txt", "plain");
  m.remove(R"(C:\WINDOWS\Favorites)");
  ASSERT_EQ(run(R"(zip.exe -5gqoruS "C:\SAVE\Conf1us.kvz" "C:\WINDOWS\TEMP\kelvaran\User\*.*")"), 0)
      << platform::lastProcessOutput();
  // Further runs into the same archive (zip's grow and update) keep what the
  // first stored, and store a file again only once.
  m.write(R"(C:\WINDOWS\Favorites\Caf)"
          "\xE9"
          R"( Links\Home.url)",
          "home");
  ASSERT_EQ(run(R"(zip.exe -5gqurS "C:\SAVE\Conf1us.kvz" "C:\WINDOWS\Favorites\*.*")"), 0)
      << platform::lastProcessOutput();
  m.write(user + "Caf\xE9.txt", "cafe");
  ASSERT_EQ(run(R"(zip.exe -5gqurS "C:\SAVE\Conf1us.kvz" "C:\WINDOWS\TEMP\kelvaran\User\*.*")"), 0)
      << platform::lastProcessOutput();
  const std::string stored = "WINDOWS/TEMP/kelvaran/User/";
  EXPECT_EQ(entries(R"(C:\SAVE\Conf1us.kvz)"),
            (Names{"WINDOWS/Favorites/Caf\xC3\xA9 Links/", "WINDOWS/Favorites/Caf\xC3\xA9 Links/Home.url",
                   stored + "Caf\xC3\xA9.txt", stored + "M\xC3\xBCller B\xC3\xBCro/",
                   stored + "M\xC3\xBCller B\xC3\xBCro/Stra\xC3\x9F"
                            "e \xE2\x82\xAC.url",
                   stored + "plain.txt"}));
  for (const auto& member : platform::zipdir::readMembers(m.host(R"(C:\SAVE\Conf1us.kvz)")))
    EXPECT_EQ(member.utf8(), member.name.find_first_of("\xC3\xE2") != std::string::npos) << member.name;

  m.remove(R"(C:\WINDOWS\TEMP\kelvaran\User)");
  m.remove(R"(C:\WINDOWS\Favorites)");
  ASSERT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\Conf1us.kvz" -d C:\)"), 0) << platform::lastProcessOutput();
  EXPECT_EQ(m.read(user + "Caf\xE9.txt"), "cafe");
  EXPECT_EQ(m.read(user + folder +
                   "\\Stra\xDF"
                   "e \x80.url"),
            "street");
  EXPECT_EQ(m.read(R"(C:\WINDOWS\Favorites\Caf)"
                   "\xE9"
                   R"( Links\Home.url)"),
            "home");
  EXPECT_EQ(folderNames(user + "*.*"), (Names{"Caf\xE9.txt", folder, "plain.txt"}));
  // A pattern names members by their Windows characters too.
  m.remove(user + "Caf\xE9.txt");
  EXPECT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\Conf1us.kvz" *Caf)"
                "\xE9"
                R"(.txt -d C:\)"),
            0)
      << platform::lastProcessOutput();
  EXPECT_EQ(m.read(user + "Caf\xE9.txt"), "cafe");
}

// More names than one host command line holds: every one reaches the
// archive with its attributes, and zip's move deletes them all.
TEST_F(InfoZipTest, ZipStoresMoreNamesThanACommandLineHolds) {
  const std::string name = "a rather long file name of the user, number 00000.txt";
  const std::string staged = R"(C:\WINDOWS\TEMP\kelvaran\User\Documents and Settings of a long folder name)";
  m.mkdirs(staged);
  const fs::path folder = m.host(staged);
  // Half as much again as the host's limit for arguments and environment together.
  const long perName = static_cast<long>(staged.size() + name.size());
  const int kFiles = static_cast<int>(sysconf(_SC_ARG_MAX) * 3 / 2 / perName);
  for (int i = 0; i < kFiles; ++i) {
    std::ofstream(folder /
                  ("a rather long file name of the user, number " + std::to_string(10000 + i) + ".txt"))
        << i;
  }
  const std::string last =
      "a rather long file name of the user, number " + std::to_string(10000 + kFiles - 1) + ".txt";
  m.setAttributes(staged + "\\" + last, platform::kHidden | platform::kArchive);
  ASSERT_EQ(run(R"(zip.exe -1gqorumS "C:\SAVE\Conf1us.kvz" "C:\WINDOWS\TEMP\kelvaran\User\*.*")"), 0)
      << platform::lastProcessOutput().substr(0, 2000);
  // The archive's directory is far larger than the pieces it is worked on in.
  for (const auto& member : platform::zipdir::readMembers(m.host(R"(C:\SAVE\Conf1us.kvz)")))
    EXPECT_EQ(member.dosAttributes() & (platform::kHidden | platform::kArchive),
              member.name.find(last) != std::string::npos ? platform::kHidden | platform::kArchive
              : member.name.back() == '/'                 ? 0
                                                          : platform::kArchive)
        << member.name;
  const Names names = entries(R"(C:\SAVE\Conf1us.kvz)");
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kFiles) + 1);
  EXPECT_TRUE(
      std::binary_search(names.begin(), names.end(),
                         "WINDOWS/TEMP/kelvaran/User/Documents and Settings of a long folder name/" + last));
  EXPECT_TRUE(folderNames(R"(C:\WINDOWS\TEMP\kelvaran\User\*.*)").empty());
}

TEST_F(InfoZipTest, ZipFailuresGiveZipsExitCodes) {
  EXPECT_EQ(run(R"(zip.exe -5qx "C:\SAVE\a.kvz" C:\WINDOWS\TEMP\kelvaran\*.*)"), 16);  // option not supported
  EXPECT_EQ(run(R"(zip.exe -5q)"), 16);                                                // no archive
  EXPECT_EQ(run(R"(zip.exe -5qurS "C:\SAVE\a.kvz" "C:\WINDOWS\NoSuch\*.*")"), 12);     // nothing matched
  EXPECT_EQ(run(R"(zip.exe -5q "C:\SAVE\a.kvz" C:\NOFILE.TXT)"), 12);
  EXPECT_FALSE(m.exists(R"(C:\SAVE\a.kvz)"));
  EXPECT_NE(platform::lastProcessOutput().find("name not matched: C:\\NOFILE.TXT"), std::string::npos);
}

// An archive takes room on its drive as any file does: one that does not fit
// in the free space ends as zip ends on a full disk, nothing of it left and an
// archive it was to replace kept whole; one that fits is written.
TEST_F(InfoZipTest, AnArchiveLargerThanTheFreeSpaceFailsAsOnAFullDisk) {
  m.write(R"(C:\WINDOWS\TEMP\kelvaran\big.bin)", testsupport::incompressibleBytes(400000));
  const std::string big = R"( C:\WINDOWS\TEMP\kelvaran\big.bin)";

  platform::MediumSpec floppy;
  floppy.capacity = 300 * 1024;  // a small floppy
  m.addMedium(floppy, 'A');
  const std::int64_t floppyFree = platform::freeBytes("A:\\");
  EXPECT_EQ(run(R"(zip.exe -1q "A:\Conf1.kvz")" + big), 14) << platform::lastProcessOutput();
  EXPECT_FALSE(m.exists(R"(A:\Conf1.kvz)"));
  EXPECT_TRUE(folderNames(R"(A:\*.*)", platform::kDirectory | platform::kHidden | platform::kSystem).empty());
  EXPECT_EQ(platform::freeBytes("A:\\"), floppyFree);

  // C: with an archive already there and less room than the new one needs.
  ASSERT_EQ(run(R"(zip.exe -1q "C:\SAVE\Conf1.kvz" C:\WINDOWS\TEMP\kelvaran\win.ini)"), 0);
  const std::string old = m.read(R"(C:\SAVE\Conf1.kvz)");
  m.leaveFree('C', 300 * 1024);  // reopens the machine
  platform::chDir(R"(C:\KELVARAN)");
  const std::int64_t cFree = platform::freeBytes("C:\\");
  EXPECT_EQ(run(R"(zip.exe -1qu "C:\SAVE\Conf1.kvz")" + big), 14) << platform::lastProcessOutput();
  EXPECT_EQ(m.read(R"(C:\SAVE\Conf1.kvz)"), old);
  EXPECT_EQ(folderNames(R"(C:\SAVE\*.*)", 0), Names{"Conf1.kvz"});
  EXPECT_EQ(platform::freeBytes("C:\\"), cFree);

  m.leaveFree('C', 500 * 1024);
  platform::chDir(R"(C:\KELVARAN)");
  ASSERT_EQ(run(R"(zip.exe -1qu "C:\SAVE\Conf1.kvz")" + big), 0) << platform::lastProcessOutput();
  EXPECT_EQ(entries(R"(C:\SAVE\Conf1.kvz)"),
            (Names{"WINDOWS/TEMP/kelvaran/big.bin", "WINDOWS/TEMP/kelvaran/win.ini"}));
  EXPECT_LT(platform::freeBytes("C:\\"), 120 * 1024);  // the new archive counted
}

// Where the host holds a link out of the machine, zip writes no archive,
// neither anew nor grown in place through the link, and unzip unpacks no
// member through it.
TEST_F(InfoZipTest, NeitherZipNorUnzipWritesThroughALinkOutOfTheMachine) {
  const fs::path outside = fs::temp_directory_path() / ("kelvaran-zip-outside-" + std::to_string(::getpid()));
  fs::create_directories(outside);
  fs::create_symlink(outside / "grown.kvz", m.host(R"(C:\SAVE)") / "Conf1.kvz");
  for (const char* options : {"-5q", "-5gq"}) {
    EXPECT_EQ(
        run(std::string("zip.exe ") + options + R"( "C:\SAVE\Conf1.kvz" C:\WINDOWS\TEMP\kelvaran\win.ini)"),
        15)
        << options;
  }
  EXPECT_TRUE(fs::is_symlink(m.host(R"(C:\SAVE)") / "Conf1.kvz"));

  fs::create_symlink(outside / "escape.ini", m.host(R"(C:\WINDOWS)") / "escape.ini");
  testzip::write(m.host(R"(C:\SAVE\out.kvz)"), {{"WINDOWS/escape.ini", "archived"}});
  EXPECT_NE(run(R"(Unzip32.exe -o "C:\SAVE\out.kvz" -d C:\)"), 0);
  EXPECT_TRUE(fs::is_empty(outside));
  fs::remove_all(outside);
}

TEST_F(InfoZipTest, UnzipPutsEachArchiveBackWhereItWasSaved) {
  const std::string ns = kNetscape;
  ASSERT_EQ(run(R"(zip.exe -5gqoruS "C:\SAVE\Conf1.kvz" C:\WINDOWS\TEMP\kelvaran\*.*)"), 0);
  ASSERT_EQ(run(R"(zip.exe -5qurS "C:\SAVE\Conf1s.kvz" "C:\WINDOWS\Start Menu\*.*")"), 0);
  for (const char* part : {R"(\Bookmark.htm")", R"(\Cookies.txt")", R"(\Mail\*.*")"})
    ASSERT_EQ(run(R"(zip.exe -5qgurS "C:\SAVE\Conf1na.kvz" ")" + ns + part), 0);
  m.remove(R"(C:\WINDOWS\TEMP\kelvaran)");
  m.remove(R"(C:\WINDOWS\Start Menu)");
  m.remove(R"(C:\Program Files\Netscape)");

  EXPECT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\Conf1.kvz" -d c:\)"), 0) << platform::lastProcessOutput();
  EXPECT_EQ(m.read(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)"), "[boot]\r\n");
  const int protectedBits = platform::kReadOnly | platform::kHidden | platform::kSystem;
  EXPECT_EQ(platform::getAttr(R"(C:\WINDOWS\TEMP\kelvaran\msdos.sys)") & protectedBits, protectedBits);

  EXPECT_EQ(run(R"(Unzip32.exe -o "C:\SAVE\Conf1s.kvz" -d C:\)"), 0);
  EXPECT_EQ(m.read(R"(C:\WINDOWS\Start Menu\Programs\Accessories\Notepad.lnk)"), "lnk");
  EXPECT_EQ(platform::getAttr(R"(C:\WINDOWS\Start Menu\Programs\desktop.ini)") & platform::kHidden,
            platform::kHidden);

  EXPECT_EQ(run(R"(Unzip32.exe -Cqo "C:\SAVE\Conf1na.kvz" *Mail\* -d C:\)"), 0);
  EXPECT_EQ(m.read(ns + R"(\Mail\Sent)"), "mail 2");
  EXPECT_FALSE(m.exists(ns + R"(\bookmark.htm)"));
  EXPECT_EQ(run(R"(Unzip32.exe -Cqo "C:\SAVE\Conf1na.kvz" *Bookmark.htm -d C:\)"), 0);
  EXPECT_EQ(m.read(ns + R"(\bookmark.htm)"), "<html>");
  EXPECT_FALSE(m.exists(ns + R"(\cookies.txt)"));
}

TEST_F(InfoZipTest, UnzipMergesIntoExistingFoldersKeepingTheirSpelling) {
  m.setAttributes(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)", platform::kReadOnly);
  testzip::write(m.host(R"(C:\SAVE\case.kvz)"), {{"windows/temp/KELVARAN/SYSTEM.INI", "new system"},
                                                 {"windows/temp/KELVARAN/new.ini", "new file"}});
  ASSERT_EQ(run(R"(Unzip32.exe -o "C:\SAVE\case.kvz" -d C:\)"), 0) << platform::lastProcessOutput();
  EXPECT_EQ(spellings(R"(C:\*.*)", "windows"), Names{"WINDOWS"});
  EXPECT_EQ(spellings(R"(C:\WINDOWS\*.*)", "temp"), Names{"TEMP"});
  EXPECT_EQ(spellings(R"(C:\WINDOWS\TEMP\*.*)", "kelvaran"), Names{"kelvaran"});
  EXPECT_EQ(folderNames(R"(C:\WINDOWS\TEMP\kelvaran\*.*)",
                        platform::kNormal | platform::kReadOnly | platform::kHidden | platform::kSystem),
            (Names{"msdos.sys", "new.ini", "system.ini", "win.ini"}));
  EXPECT_EQ(m.read(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)"), "new system");
}

// An archive from a zip on Windows: names in the DOS code page (850), no
// UTF-8 flag. Each file comes back under its Windows name with its bits.
TEST_F(InfoZipTest, UnzipKeepsTheBitsOfNamesInTheDosCodePage) {
  const int ro = platform::kReadOnly, hidden = platform::kHidden, system = platform::kSystem;
  const int archive = platform::kArchive;
  struct Case {
    const char* stored;  // code page 850
    const char* windows;
    int attributes;
  };
  const Case cases[] = {
      {"M\x81ller.txt", "M\xFCller.txt", ro | archive},
      {"Caf\x82 \xE1.sys", "Caf\xE9 \xDF.sys", ro | hidden | system},
      {"B\x81ro/", "B\xFCro", hidden},
      {"B\x81ro/Notiz \x84.txt", "B\xFCro\\Notiz \xE4.txt", hidden | archive},
      {"plain.txt", "plain.txt", ro},
  };
  std::vector<testzip::Entry> entries;
  for (const Case& c : cases)
    entries.push_back({std::string("WINDOWS/TEMP/kelvaran/User/") + c.stored, "x", 0, c.attributes, 0});
  testzip::write(m.host(R"(C:\SAVE\dos.kvz)"), entries);
  ASSERT_EQ(run(R"(Unzip32.exe -o "C:\SAVE\dos.kvz" -d C:\)"), 0) << platform::lastProcessOutput();
  for (const Case& c : cases) {
    const std::string path = std::string(R"(C:\WINDOWS\TEMP\kelvaran\User\)") + c.windows;
    EXPECT_EQ(platform::getAttr(path) & ~platform::kDirectory, c.attributes) << c.windows;
  }
}

// A file on a FAT drive has an even second, so zip stores its time as it is
// (an odd one it rounds up: 1999-12-31 23:59:59 would be 2000-01-01
// 00:00:00); a file unpacked onto a FAT drive gets no odd second either.
TEST_F(InfoZipTest, TimesOnFatDrivesKeepTheirDayThroughZipAndUnzip) {
  const platform::DateTime odd{1999, 12, 31, 23, 59, 59}, even{1999, 12, 31, 23, 59, 58};
  m.write(R"(N:\Shared\odd.txt)", "n");
  platform::setFileDateTime(R"(N:\Shared\odd.txt)", odd);  // a network drive keeps it
  const std::string staged = R"(C:\WINDOWS\TEMP\kelvaran\system.ini)";
  fs::last_write_time(m.host(staged),
                      fs::last_write_time(m.host(R"(N:\Shared\odd.txt)")));  // behind the layer's back
  ASSERT_EQ(run(R"(zip.exe -q "C:\SAVE\times.kvz" )" + staged), 0) << platform::lastProcessOutput();
  const auto stored = member(R"(C:\SAVE\times.kvz)", "WINDOWS/TEMP/kelvaran/system.ini");
  EXPECT_EQ(stored.dosDate, ((1999 - 1980) << 9) | (12 << 5) | 31);
  EXPECT_EQ(stored.dosTime, (23 << 11) | (59 << 5) | (58 / 2));

  ASSERT_EQ(run(R"(zip.exe -q "C:\SAVE\network.kvz" N:\Shared\odd.txt)"), 0) << platform::lastProcessOutput();
  ASSERT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\network.kvz" -d C:\)"), 0) << platform::lastProcessOutput();
  EXPECT_EQ(platform::fileDateTime(R"(C:\Shared\odd.txt)"), even);
  // On the host too: both are at 23:59:58 to the nanosecond.
  EXPECT_EQ(fs::last_write_time(m.host(R"(C:\Shared\odd.txt)")), fs::last_write_time(m.host(staged)));
}

TEST_F(InfoZipTest, UnzipWithoutOverwriteKeepsExistingFiles) {
  testzip::write(m.host(R"(C:\SAVE\keep.kvz)"), {{"WINDOWS/TEMP/kelvaran/win.ini", "archived"},
                                                 {"WINDOWS/TEMP/kelvaran/fresh.ini", "fresh"}});
  EXPECT_EQ(run(R"(Unzip32.exe "C:\SAVE\keep.kvz" -d C:\)"), 1);
  EXPECT_EQ(m.read(R"(C:\WINDOWS\TEMP\kelvaran\win.ini)"), "[windows]\r\n");
  EXPECT_EQ(m.read(R"(C:\WINDOWS\TEMP\kelvaran\fresh.ini)"), "fresh");
}

TEST_F(InfoZipTest, UnzipFailuresGiveUnzipsExitCodes) {
  testzip::write(m.host(R"(C:\SAVE\one.kvz)"), {{"a.txt", "a"}});
  EXPECT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\none.kvz" -d C:\)"), 9);
  EXPECT_EQ(run(R"(Unzip32.exe -qz "C:\SAVE\one.kvz" -d C:\)"), 10);
  EXPECT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\one.kvz" -d)"), 10);
  EXPECT_EQ(run(R"(Unzip32.exe -Cqo "C:\SAVE\one.kvz" *Cookies.txt -d C:\)"), 11);
  m.write(R"(C:\SAVE\broken.kvz)", "not an archive");
  EXPECT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\broken.kvz" -d C:\)"), 9);
  EXPECT_FALSE(m.exists(R"(C:\a.txt)"));
}

TEST_F(InfoZipTest, UnzipIntoAFolderThatIsMissingCreatesIt) {
  testzip::write(m.host(R"(C:\SAVE\one.kvz)"), {{"sub/a.txt", "a"}});
  ASSERT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\one.kvz" -d "C:\NEW\TARGET")"), 0);
  EXPECT_EQ(m.read(R"(C:\NEW\TARGET\sub\a.txt)"), "a");
}

TEST_F(InfoZipTest, CraftedArchivesWriteNothingAnywhere) {
  struct Case {
    const char* what;
    testzip::Entry bad;
  };
  const Case cases[] = {
      {"parent folder", {"../evil.txt", "x"}},     {"parent inside", {"WINDOWS/../../evil.txt", "x"}},
      {"absolute", {"/tmp/evil.txt", "x"}},        {"backslashes", {"..\\..\\evil.txt", "x"}},
      {"drive letter", {"C:/evil.txt", "x"}},      {"control character", {"evil\x01.txt", "x"}},
      {"symlink", {"evil-link", "/etc", 0120777}},
  };
  const fs::path scratchParent = fs::temp_directory_path();
  for (const Case& c : cases) {
    testzip::write(m.host(R"(C:\SAVE\crafted.kvz)"),
                   {{"good.txt", "good"}, c.bad, {"evil-link/passwd", "x"}});
    EXPECT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\crafted.kvz" -d C:\TARGET)"), 3) << c.what;
    EXPECT_FALSE(m.exists(R"(C:\TARGET)")) << c.what;
    EXPECT_FALSE(fs::exists(scratchParent / "evil.txt")) << c.what;
    EXPECT_FALSE(fs::exists(m.root() / "evil.txt")) << c.what;
    EXPECT_FALSE(m.exists(R"(C:\evil.txt)")) << c.what;
  }
}

// The unpack works in a scratch folder of its own inside the machine folder,
// never in the host's temporary folder, and removes it after the run also
// when the member names are not UTF-8 (an older Windows zip stores them in
// the DOS code page without the UTF-8 flag).
TEST_F(InfoZipTest, UnzipLeavesNoScratchInTheHostsTemporaryFolderOrTheMachine) {
  struct Case {
    const char* what;
    std::string member;
  };
  const Case cases[] = {
      {"UTF-8 name", "WINDOWS/TEMP/kelvaran/user.dat"},
      {"DOS code page name",
       "WINDOWS/TEMP/kelvaran/\x81"
       "ber/USER.DAT"},
  };
  auto rootEntries = [&] {
    Names names;
    for (const auto& entry : fs::directory_iterator(m.root())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  };
  const Names before = rootEntries();
  const fs::path hostTemp = fs::temp_directory_path() / ("kelvaran-host-temp-" + std::to_string(getpid()));
  fs::create_directories(hostTemp);
  const char* saved = std::getenv("TMPDIR");
  const std::string savedTemp = saved ? saved : "";
  setenv("TMPDIR", hostTemp.c_str(), 1);
  for (const Case& c : cases) {
    testzip::write(m.host(R"(C:\SAVE\old.kvz)"), {{c.member, "registry"}});
    EXPECT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\old.kvz" -d c:\)"), 0) << c.what;
    EXPECT_TRUE(fs::is_empty(hostTemp)) << c.what;
    EXPECT_EQ(rootEntries(), before) << c.what;
  }
  // A host temporary folder that cannot be used does not matter.
  fs::remove_all(hostTemp);
  std::ofstream(hostTemp) << "not a folder";
  EXPECT_EQ(run(R"(Unzip32.exe -qo "C:\SAVE\old.kvz" -d C:\AGAIN)"), 0);
  EXPECT_TRUE(m.exists(R"(C:\AGAIN\WINDOWS\TEMP\kelvaran)"));
  if (saved)
    setenv("TMPDIR", savedTemp.c_str(), 1);
  else
    unsetenv("TMPDIR");
  fs::remove_all(hostTemp);
}

TEST(InfoZipTool, KnowsTheArchiverNames) {
  EXPECT_EQ(platform::infoZipTool("ZIP.EXE"), platform::InfoZipTool::Zip);
  EXPECT_EQ(platform::infoZipTool("Unzip32.exe"), platform::InfoZipTool::Unzip);
  EXPECT_EQ(platform::infoZipTool("unzip.exe"), platform::InfoZipTool::Unzip);
  EXPECT_EQ(platform::infoZipTool("pkzip.exe"), platform::InfoZipTool::None);
  EXPECT_EQ(platform::infoZipTool("zip"), platform::InfoZipTool::None);
}

}  // namespace
