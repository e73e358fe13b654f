// The zip.exe runs of a save: command lines, conditions, exit codes.
#include "save/archive_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace save {
namespace {

RunInputs everything() {
  RunInputs in;
  in.slotNumber = 3;
  in.compressionLevel = " 5";
  in.tempDir = "C:\\WINDOWS\\TEMP\\";
  in.startMenu = "C:\\WINDOWS\\Start Menu\\";
  in.favorites = "C:\\WINDOWS\\Favorites\\";
  in.cookies = "C:\\WINDOWS\\Cookies\\";
  in.addressBook = "C:\\WINDOWS\\Application Data\\Microsoft\\Address Book\\Jo.wab";
  in.oeMail = "C:\\WINDOWS\\Application Data\\Identities\\{A1}\\Outlook Express\\";
  in.netscape = "C:\\Program Files\\Netscape\\Users\\jo";
  in.startMenuBox = in.userFiles = in.addressBookBox = in.favoritesBox = in.ieCookiesBox = in.oeMailBox =
      true;
  in.nsBookmarksBox = in.nsCookiesBox = in.nsMailBox = in.nsNewsBox = true;
  return in;
}

constexpr Group kAllGroups[] = {Group::StartMenu, Group::System,    Group::User,   Group::AddressBook,
                                Group::Favorites, Group::IECookies, Group::OEMail, Group::NSBookmarks,
                                Group::NSCookies, Group::NSMail,    Group::NSNews};

std::vector<ArchiveRun> allRuns(const RunInputs& in) {
  std::vector<ArchiveRun> runs;
  for (Group g : kAllGroups)
    for (ArchiveRun& r : PlanRuns(in, g)) runs.push_back(r);
  return runs;
}

TEST(ArchiveRuns, EveryCommandLineOfAFullSave) {
  const char* expected[] = {
      R"(zip.exe -5qurS "C:\SAVE\Conf3s.kvz" "C:\WINDOWS\Start Menu\*.*")",
      R"(zip.exe -5gqoruS "C:\SAVE\Conf3.kvz" C:\WINDOWS\TEMP\kelvaran\*.*)",
      R"(zip.exe -5gqorumS "C:\SAVE\Conf3us.kvz" "C:\WINDOWS\TEMP\kelvaran\User\*.*")",
      R"(zip.exe -5q "C:\SAVE\Conf3ma.kvz" "C:\WINDOWS\Application Data\Microsoft\Address Book\Jo.wab")",
      R"(zip.exe -5qurS "C:\SAVE\Conf3mb.kvz" "C:\WINDOWS\Favorites\*.*")",
      R"(zip.exe -5qurgS "C:\SAVE\Conf3mc.kvz" "C:\WINDOWS\Cookies\*.*")",
      R"(zip.exe -5qurgS "C:\SAVE\Conf3mx.kvz" "C:\WINDOWS\Application Data\Identities\{A1}\Outlook Express\*.*")",
      R"(zip.exe -5qgurS "C:\SAVE\Conf3na.kvz" "C:\Program Files\Netscape\Users\jo\Bookmark.htm")",
      R"(zip.exe -5qgurS "C:\SAVE\Conf3na.kvz" "C:\Program Files\Netscape\Users\jo\Cookies.txt")",
      R"(zip.exe -5qgurS "C:\SAVE\Conf3na.kvz" "C:\Program Files\Netscape\Users\jo\Mail\*.*")",
      R"(zip.exe -5qurgS "C:\SAVE\Conf3nw.kvz" "C:\Program Files\Netscape\Users\jo\News\*.*")",
  };
  const int steps[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10};
  const int status[] = {1231, 1227, 1228, 1254, 1255, 1256, 1257, 1258, 1259, 1260, 1260};
  const std::vector<ArchiveRun> runs = allRuns(everything());
  ASSERT_EQ(runs.size(), std::size(expected));
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(ZipCommandLine(" 5", runs[i].options, "C:\\SAVE\\" + runs[i].archive, runs[i].source),
              expected[i]);
    EXPECT_EQ(runs[i].step, steps[i]);
    EXPECT_EQ(runs[i].statusMessage, status[i]);
  }
}

TEST(ArchiveRuns, ConditionsOfTheRuns) {
  struct Case {
    const char* what;
    void (*change)(RunInputs&);
    std::vector<std::string> archives;  // of the whole save
  };
  const Case cases[] = {
      {"nothing chosen",
       [](RunInputs& in) {
         in = RunInputs{};
         in.tempDir = "C:\\WINDOWS\\TEMP\\";
         in.startMenu = in.favorites = "C:\\X\\";
         in.netscape = "C:\\N";
       },
       {"Conf1.kvz"}},
      {"folders NONE or empty",
       [](RunInputs& in) {
         in.startMenu = "NONE";
         in.favorites = "NONE";
         in.cookies = "";
         in.addressBook = "";
         in.oeMail = "";
         in.netscape = "";
         in.userFiles = false;
       },
       {"Conf3.kvz"}},
      {"only Netscape news, no profile",
       [](RunInputs& in) {
         in = RunInputs{};
         in.slotNumber = 2;
         in.nsNewsBox = true;
       },
       {"Conf2.kvz"}},
      {"only Netscape cookies",
       [](RunInputs& in) {
         in = RunInputs{};
         in.nsCookiesBox = true;
         in.netscape = "C:\\N";
       },
       {"Conf1.kvz", "Conf1na.kvz"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunInputs in = everything();
    c.change(in);
    std::vector<std::string> archives;
    for (const ArchiveRun& run : allRuns(in)) archives.push_back(run.archive);
    EXPECT_EQ(archives, c.archives);
  }
}

TEST(ArchiveRuns, SystemSourceIsQuotedOnlyWhenItHoldsABlank) {
  RunInputs in;
  in.tempDir = "C:\\WINDOWS\\TEMP\\";
  EXPECT_EQ(PlanRuns(in, Group::System).at(0).source, R"(C:\WINDOWS\TEMP\kelvaran\*.*)");
  in.tempDir = "C:\\My Temp\\";
  EXPECT_EQ(PlanRuns(in, Group::System).at(0).source, R"("C:\My Temp\kelvaran\*.*")");
}

TEST(ArchiveRuns, NamesAndExitCodes) {
  EXPECT_EQ(ArchiveName(5, "mx"), "Conf5mx.kvz");
  EXPECT_EQ(ArchiveSuffixes(), (std::vector<std::string>{"", "s", "us", "mc", "mb", "ma", "mx", "na", "nw"}));
  const std::pair<int, ZipOutcome> codes[] = {
      {0, ZipOutcome::Saved},     {12, ZipOutcome::NothingToDo}, {18, ZipOutcome::SomeFilesUnreadable},
      {14, ZipOutcome::DiskFull}, {15, ZipOutcome::DiskFull},    {16, ZipOutcome::Failed},
      {2, ZipOutcome::Failed},    {-1, ZipOutcome::Failed},
  };
  for (const auto& [code, outcome] : codes) EXPECT_EQ(JudgeZipExit(code), outcome) << code;
}

}  // namespace
}  // namespace save
