// The file search: the criteria dialog with its history in UserFiles.ini,
// the walk of the search window, Stop, and the offer that adds the hits to
// the user-defined files.
#include "userfiles/file_search.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMetaObject>
#include <QRect>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/state.h"
#include "forms/animation.h"
#include "platform/charcase.h"
#include "platform/files.h"
#include "platform/vb_convert.h"
#include "save/tests/support/save_fixture.h"
#include "userfiles/search_history.h"
#include "userfiles/userfiles_dialog.h"
#include "windows/adduser.h"
#include "windows/form1.h"
#include "windows/frmdrvscan.h"
#include "windows/userfiles.h"

namespace {

using savetest::kProgram;
using Items = std::vector<std::string>;

const std::string kHistory = kProgram + "UserFiles.ini";
const std::string kUserList = kProgram + "kelvaran.usr";
constexpr int kOfferStyle = forms::vbYesNo + forms::vbInformation;

windows::AddUserWindow& criteria() { return windows::AddUser(); }
windows::FrmDrvScanWindow& scan() { return windows::frmDrvScan(); }
windows::UserFilesWindow& files() { return windows::UserFiles(); }

Items items(const forms::ListControl& list) {
  Items out;
  for (int i = 0; i < list.listCount(); ++i) out.push_back(list.list(i));
  return out;
}

std::string offer(int found, const std::string& pattern) {
  return "Kelvaran has found " + platform::vb::str(found) + " " + pattern +
         " files.\r\rWould you like to add them to the userfile list?";
}

class FileSearch : public savetest::SaveTest {
 protected:
  void SetUp() override {
    for (forms::Form* w : std::initializer_list<forms::Form*>{&files(), &criteria(), &scan()}) w->unload();
    userfiles::bindUserFiles();
    SaveTest::SetUp();
    core::state().UserFilesIniPath = kHistory;
    core::state().SettingsSaved = true;
    userfiles::setYieldInterval(std::chrono::milliseconds(0));  // a yield at every step, as the user sees it
    files().show();
  }
  void TearDown() override {
    userfiles::setYieldInterval(userfiles::kDefaultYieldInterval);
    for (forms::Form* w : std::initializer_list<forms::Form*>{&scan(), &criteria(), &files()}) w->unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SaveTest::TearDown();
  }

  // Keys typed into a box of the criteria dialog, after emptying it; an
  // empty text is a key typed and taken back.
  static void typeInto(forms::ComboBox& box, const std::string& text) {
    box.setText("");
    auto key = [&box](Qt::Key code, const QString& typed) {
      QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, typed);
      QApplication::sendEvent(box.widget(), &press);
    };
    for (const char c : text) key(Qt::Key_unknown, QString(QChar::fromLatin1(c)));
    if (text.empty()) {
      key(Qt::Key_unknown, "x");
      key(Qt::Key_Backspace, "\b");
    }
  }

  // The user's Search, then the criteria: a file type typed (or none, to
  // take the chosen one), a folder typed, the sub-folders box, and OK.
  static void openSearch() { files().Command5.click(); }
  static void search(const std::string& typedType, const std::string& typedFolder, bool subfolders) {
    if (!typedType.empty()) typeInto(criteria().Combo1, typedType);
    typeInto(criteria().Combo2, typedFolder);
    criteria().Check1.setValue(subfolders ? 1 : 0);
    criteria().Command1.click();
  }

  // The offer, with what the search window lists and the path box shows then.
  forms::ScriptedDialogs::Expectation& expectOffer(const std::string& text, int answer) {
    return dialogs().expect(text).style(kOfferStyle).title("Search Results").answer(answer).then([this] {
      offered = items(scan().List1);
      pathShown = criteria().Combo2.text();
      filesBefore = files().List1.listCount();
    });
  }

  // Runs `observe` with the hit list once the search window has loaded it,
  // before its search starts.
  static void watchHits(std::function<void(QListWidget*)> observe) {
    auto search = scan().onLoad;
    scan().onLoad = [search, observe] {
      observe(qobject_cast<QListWidget*>(scan().List1.widget()));
      search();
    };
  }

  // A tree whose walk order is not the names' order: entries are listed
  // as they were made.
  void makeTree() {
    machine().write("C:\\Data\\zeta.txt", "z");
    machine().write("C:\\Data\\notes.doc", "d");
    machine().write("C:\\Data\\alpha.TXT", "a");
    machine().mkdirs("C:\\Data\\Sub2\\");
    machine().write("C:\\Data\\Sub2\\two.txt", "2");
    machine().mkdirs("C:\\Data\\folder.txt\\");  // a folder is no hit
    machine().setAttributes("C:\\Data\\folder.txt", platform::kHidden | platform::kReadOnly);
    machine().write("C:\\Data\\Sub1\\Deep\\deep.txt", "d");
    machine().write("C:\\Data\\Sub1\\one.txt", "1");
    machine().write("C:\\Data\\Sub1\\hidden.txt", "h");
    machine().setAttributes("C:\\Data\\Sub1\\hidden.txt", platform::kHidden);
    machine().write("C:\\Data\\last.txt", "l");
  }

  Items offered;
  std::string pathShown;
  int filesBefore = 0;
};

TEST(SearchPattern, TypedFileTypesBecomePatterns) {
  const struct {
    const char* typed;
    const char* pattern;
  } cases[] = {
      {"html", "*.html"},   {".c", "*.c"},      {"doc", "*.doc"},
      {" .txt ", "*.txt"},  {"*.txt", "*.txt"}, {"*.*", "*.*"},
      {" *.ini ", "*.ini"}, {"*", "*"},         {"tar.gz", "*.tar.gz"},
      {"..gz", "*.gz"},     {"h t m", "*.htm"}, {"", ""},
      {"   ", ""},          {"...", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(userfiles::searchPattern(c.typed), c.pattern) << '"' << c.typed << '"';
}

TEST_F(FileSearch, SearchShowsTheCriteriaFromTheHistoryAndMinimisesTheUserFiles) {
  machine().write(kHistory,
                  "[AddUserSettings]\r\nFiletypes0=*.txt\r\nFiletypes1=*.DOC\r\nFiletypes3=*.gap\r\n"
                  "FilePath0=C:\\Data\\\r\nFilePath1=C:\\Data\\\r\nSubDirs= 1\r\n");
  openSearch();
  EXPECT_TRUE(criteria().visible());
  EXPECT_EQ(files().windowState(), forms::WindowState::Minimized);
  EXPECT_FALSE(core::state().SettingsSaved);
  EXPECT_TRUE(files().Command1.enabled());
  EXPECT_EQ(items(criteria().Combo1), (Items{"*.txt", "*.DOC"}));  // up to the first gap
  EXPECT_EQ(items(criteria().Combo2), (Items{"C:\\Data\\", "C:\\Data\\"}));
  EXPECT_EQ(criteria().Check1.value(), 1);
  EXPECT_FALSE(criteria().Command1.enabled());  // OK waits for a key in the path box
  EXPECT_EQ(criteria().caption(), "Search user-defined Files");
  EXPECT_EQ(criteria().Command2.caption(), "&Browse...");
  EXPECT_EQ(criteria().helpContextId(), 2030);

  typeInto(criteria().Combo2, "C");
  EXPECT_TRUE(criteria().Command1.enabled());
}

TEST_F(FileSearch, NoHistoryGivesEmptyListsAndNoSubfolders) {
  openSearch();
  EXPECT_EQ(criteria().Combo1.listCount(), 0);
  EXPECT_EQ(criteria().Combo2.listCount(), 0);
  EXPECT_EQ(criteria().Check1.value(), 0);
  EXPECT_FALSE(criteria().Command1.enabled());
}

TEST_F(FileSearch, HistoryIsWrittenFromTheListsOnly) {
  openSearch();
  criteria().Combo1.addItem("*.doc");
  criteria().Combo1.addItem("*.txt");
  criteria().Combo2.setText("C:\\Typed\\");  // no list entry: not kept
  criteria().Check1.setValue(1);
  userfiles::SaveAddUserSettings();
  EXPECT_EQ(machine().read(kHistory),
            "[AddUserSettings]\r\nFiletypes0=*.doc\r\nFiletypes1=*.txt\r\nSubDirs= 1\r\n");
}

TEST_F(FileSearch, YesAddsTheHitsInWalkOrderAndRewritesTheHistory) {
  makeTree();
  machine().write(kHistory,
                  "[AddUserSettings]\r\nFiletypes0=*.txt\r\nFilePath0=C:\\Old\\\r\nSubDirs= 0\r\n"
                  "[Stale]\r\nkey=gone after the search\r\n");
  files().List1.addItem("c:\\kept.ini");
  openSearch();
  criteria().Combo1.setListIndex(0);
  const Items walk{"C:\\data\\zeta.txt",
                   "C:\\data\\alpha.TXT",
                   "C:\\data\\last.txt",
                   "C:\\data\\Sub2\\two.txt",
                   "C:\\data\\Sub1\\one.txt",
                   "C:\\data\\Sub1\\hidden.txt",
                   "C:\\data\\Sub1\\Deep\\deep.txt"};
  expectOffer(offer(7, "*.txt"), forms::vbYes);
  search("", "c:\\data", true);

  EXPECT_EQ(offered, walk);
  Items expected{"c:\\kept.ini"};
  for (const std::string& hit : walk) expected.push_back(platform::lowerCase(hit));
  EXPECT_EQ(items(files().List1), expected);
  EXPECT_EQ(machine().read(kUserList),
            " 8\r\nc:\\kept.ini\r\nc:\\data\\zeta.txt\r\nc:\\data\\alpha.txt\r\n"
            "c:\\data\\last.txt\r\nc:\\data\\sub2\\two.txt\r\nc:\\data\\sub1\\one.txt\r\n"
            "c:\\data\\sub1\\hidden.txt\r\nc:\\data\\sub1\\deep\\deep.txt\r\n\r\n");
  EXPECT_EQ(machine().read(kHistory),
            "[AddUserSettings]\r\nFiletypes0=*.txt\r\nFilePath0=C:\\Old\\\r\nSubDirs= 1\r\n");
  EXPECT_EQ(files().Frame8.caption(), "User-defined Files - Total Files:  8");
  EXPECT_FALSE(scan().loaded());
  EXPECT_FALSE(criteria().loaded());
  EXPECT_EQ(files().windowState(), forms::WindowState::Normal);
}

TEST_F(FileSearch, NoAddsNothingButStillWritesTheListAndTheHistory) {
  makeTree();
  files().List1.addItem("c:\\kept.ini");
  openSearch();
  expectOffer(offer(3, "*.txt"), forms::vbNo);
  search("txt", "C:\\Data\\", false);
  EXPECT_EQ(offered, (Items{"C:\\Data\\zeta.txt", "C:\\Data\\alpha.TXT", "C:\\Data\\last.txt"}));
  EXPECT_EQ(items(files().List1), (Items{"c:\\kept.ini"}));
  EXPECT_EQ(machine().read(kUserList), " 1\r\nc:\\kept.ini\r\n\r\n");
  EXPECT_EQ(machine().read(kHistory), "[AddUserSettings]\r\nFiletypes0=*.txt\r\nSubDirs= 0\r\n");
}

TEST_F(FileSearch, TypedFileTypeIsSearchedWholeAndJoinsTheHistoryOnce) {
  machine().write("C:\\Web\\page.html", "h");
  machine().write("C:\\Web\\page.htm", "h");
  machine().write("C:\\Web\\x.tml", "t");
  openSearch();
  expectOffer(offer(1, "*.html"), forms::vbNo);
  search("html", "C:\\Web", false);
  EXPECT_EQ(offered, (Items{"C:\\Web\\page.html"}));

  machine().write(kHistory, "[AddUserSettings]\r\nFiletypes0=*.HTML\r\n");
  openSearch();
  expectOffer(offer(1, "*.html"), forms::vbNo);
  search(".html", "C:\\Web", false);
  EXPECT_EQ(machine().read(kHistory), "[AddUserSettings]\r\nFiletypes0=*.HTML\r\nSubDirs= 0\r\n");
}

TEST_F(FileSearch, ChosenFileTypeWinsUnlessTheTypeWasTypedOverIt) {
  machine().write("C:\\Web\\page.html", "h");
  machine().write("C:\\Web\\notes.txt", "t");
  machine().write(kHistory, "[AddUserSettings]\r\nFiletypes0=html\r\n");  // an entry without "*."
  openSearch();
  criteria().Combo1.setListIndex(0);
  expectOffer(offer(1, "*.html"), forms::vbNo);
  search("", "C:\\Web", false);
  EXPECT_EQ(offered, (Items{"C:\\Web\\page.html"}));

  openSearch();
  criteria().Combo1.setListIndex(0);
  expectOffer(offer(1, "*.txt"), forms::vbNo);
  search("txt", "C:\\Web", false);
  EXPECT_EQ(offered, (Items{"C:\\Web\\notes.txt"}));
}

TEST_F(FileSearch, WithoutAFileTypeNothingIsSearchedOrWritten) {
  machine().write("C:\\Data\\a.txt", "a");
  openSearch();
  dialogs().expect("Please indicate a file type (Extension)").style(forms::vbOKOnly).title("");
  search("", "C:\\Data", true);
  EXPECT_FALSE(machine().exists(kUserList));
  EXPECT_EQ(files().windowState(), forms::WindowState::Normal);
}

TEST_F(FileSearch, StartFolderIsResolvedAndAnEmptyOneSearchesNothing) {
  makeTree();
  platform::chDir("C:\\");
  const struct {
    const char* typed;
    bool subfolders;
    const char* shown;  // the path box after the search
    Items hits;
  } cases[] = {
      {"Data", false, "C:\\Data\\", {"C:\\Data\\zeta.txt", "C:\\Data\\alpha.TXT", "C:\\Data\\last.txt"}},
      {"C:\\Data\\Sub1\\..\\Sub2", true, "C:\\Data\\Sub2\\", {"C:\\Data\\Sub2\\two.txt"}},
      {"C:\\Nowhere", true, "C:\\Nowhere\\", {}},
      {"", true, "", {}},
      {"   ", true, "   ", {}},
  };
  for (const auto& c : cases) {
    openSearch();
    expectOffer(offer(static_cast<int>(c.hits.size()), "*.txt"), forms::vbNo);
    search("txt", c.typed, c.subfolders);
    EXPECT_EQ(offered, c.hits) << c.typed;
    EXPECT_EQ(pathShown, c.shown) << c.typed;
  }
}

// Stop, Esc and the close box each end the walk through the window's yields:
// the count offered is the number of hits listed, and those are what Yes adds.
// The user acts once the first folder's hits show; the walk takes it at its
// next yield, before the second folder.
TEST_F(FileSearch, StoppedSearchOffersTheHitsListedSoFar) {
  const int folders = 20, perFolder = 100;
  for (int folder = 0; folder < folders; ++folder) {
    const std::string path = "C:\\Big\\Folder" + std::to_string(folder) + "\\";
    machine().mkdirs(path);
    for (int file = 0; file < perFolder; ++file)
      std::ofstream(machine().host(path + "file" + std::to_string(file) + ".txt")) << file;
  }
  const int total = folders * perFolder;
  const std::vector<std::pair<const char*, std::function<void()>>> stops{
      {"Stop", [] { scan().Command1.click(); }},
      {"Esc",
       [] {
         QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b");
         QApplication::sendEvent(scan().widget(), &esc);
       }},
      {"close box", [] { scan().widget()->close(); }},
  };
  for (const auto& [how, stop] : stops) {
    openSearch();
    watchHits([stop = stop](QListWidget* list) {
      auto asked = std::make_shared<bool>(false);
      QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, [asked, stop] {
        if (*asked) return;
        *asked = true;
        QMetaObject::invokeMethod(qApp, stop, Qt::QueuedConnection);
      });
    });
    const std::size_t shown = dialogs().shown().size();
    expectOffer("Kelvaran has found", forms::vbYes).containing();
    search("txt", "C:\\Big", true);
    ASSERT_EQ(dialogs().shown().size(), shown + 1) << how;
    EXPECT_EQ(offered.size(), static_cast<std::size_t>(perFolder)) << how;
    EXPECT_LT(offered.size(), static_cast<std::size_t>(total)) << how;
    EXPECT_EQ(dialogs().shown().back().text, offer(static_cast<int>(offered.size()), "*.txt")) << how;
    const Items listed = items(files().List1);
    ASSERT_EQ(listed.size(), filesBefore + offered.size()) << how;
    for (std::size_t i = 0; i < offered.size(); ++i)
      EXPECT_EQ(listed[filesBefore + i], platform::lowerCase(offered[i])) << how << " " << i;
  }
}

TEST_F(FileSearch, WhileTheSearchRunsTheCriteriaTakeNoClicks) {
  makeTree();
  openSearch();
  bool tried = false, stillThere = false;
  watchHits([&](QListWidget* list) {
    QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, [&] {
      if (tried) return;
      tried = true;
      criteria().Command1.click();
      criteria().Command2.click();  // Browse would ask for a folder
      criteria().Command3.click();
      criteria().widget()->close();
      files().Command5.click();
      stillThere = criteria().loaded() && criteria().visible();
      // Meanwhile the window says what it does and plays the search clip.
      EXPECT_EQ(scan().Label1.caption(), "Kelvaran is searching for matching files.\r Please wait...");
      EXPECT_EQ(scan().Label2.caption(), "C:\\Data\\");
      const auto* clip = scan().widget()->findChild<forms::Animation*>("SysAnimate32");
      ASSERT_NE(clip, nullptr);
      EXPECT_EQ(clip->currentClip(), 110);
      EXPECT_TRUE(clip->playing());
      EXPECT_EQ(clip->parentWidget()->geometry(), QRect(280, 5, 100, 40));
    });
  });
  expectOffer(offer(7, "*.txt"), forms::vbNo);
  search("txt", "C:\\Data", true);
  EXPECT_TRUE(tried);
  EXPECT_TRUE(stillThere);
  EXPECT_EQ(dialogs().shown().size(), 1u);  // one search, one offer
}

TEST_F(FileSearch, CancelHidesTheCriteriaAndTheCloseBoxUnloadsThemBothPuttingTheUserFilesBack) {
  openSearch();
  criteria().Combo1.addItem("*.new");
  typeInto(criteria().Combo2, "C:\\x");
  criteria().Command3.click();
  EXPECT_FALSE(criteria().visible());
  EXPECT_EQ(files().windowState(), forms::WindowState::Normal);
  openSearch();  // the same texts, lists and OK
  EXPECT_EQ(items(criteria().Combo1), (Items{"*.new"}));
  EXPECT_EQ(criteria().Combo2.text(), "C:\\x");
  EXPECT_TRUE(criteria().Command1.enabled());

  criteria().widget()->close();
  EXPECT_FALSE(criteria().loaded());
  EXPECT_EQ(files().windowState(), forms::WindowState::Normal);
  openSearch();  // loaded afresh from the (missing) history
  EXPECT_EQ(criteria().Combo1.listCount(), 0);
  EXPECT_FALSE(criteria().Command1.enabled());
}

TEST_F(FileSearch, BrowseAddsAFolderOnceWithItsBackslashAndWarnsOfANetwork) {
  openSearch();
  criteria().Combo2.addItem("C:\\DATA\\");
  const struct {
    const char* chosen;
    const char* searchFolder;
    bool network;
    Items folders;
    int selected;
  } cases[] = {
      {"C:\\", "C:\\", false, {"C:\\DATA\\", "C:\\"}, 1},
      {"c:\\data", "c:\\data\\", false, {"C:\\DATA\\", "C:\\"}, 0},
      {"C:\\Program Files", "C:\\Program Files\\", false, {"C:\\DATA\\", "C:\\", "C:\\Program Files\\"}, 2},
      {"\\\\server\\share",
       "\\\\server\\share\\",
       true,
       {"C:\\DATA\\", "C:\\", "C:\\Program Files\\", "\\\\server\\share\\"},
       3},
  };
  for (const auto& c : cases) {
    dialogs().expectFolder("Select Source Folder").answerText(c.chosen);
    if (c.network) dialogs().expect("You have chosen a destination directory on a network.").containing();
    criteria().Command2.click();
    EXPECT_EQ(items(criteria().Combo2), c.folders) << c.chosen;
    EXPECT_EQ(criteria().Combo2.listIndex(), c.selected) << c.chosen;
    EXPECT_EQ(core::state().SearchFolder, c.searchFolder) << c.chosen;
  }
  dialogs().expectFolder("Select Source Folder").cancel();
  criteria().Command2.click();
  EXPECT_EQ(criteria().Combo2.listCount(), 4);
  EXPECT_FALSE(criteria().Command1.enabled());  // Browse does not enable OK
}

TEST_F(FileSearch, TheListGrowsWithTheWindowAndStopKeepsToItsCorner) {
  scan().onLoad = nullptr;  // the window alone, no search
  scan().show();
  scan().List1.addItem("C:\\");
  const int row = qobject_cast<QListWidget*>(scan().List1.widget())->sizeHintForRow(0);
  const int listWidth = scan().List1.width(), listHeight = scan().List1.height();
  const int stopRight = scan().width() - scan().Command1.left();
  const int stopBottom = scan().height() - scan().Command1.top();
  scan().resize(scan().width() + 100, scan().height() + 60);
  QCoreApplication::processEvents();
  EXPECT_EQ(scan().List1.width(), listWidth + 100);
  // Its height shows whole rows: what it gains, give or take a part of a row.
  EXPECT_LT(std::abs(scan().List1.height() - (listHeight + 60)), row);
  EXPECT_EQ(qobject_cast<QListWidget*>(scan().List1.widget())->viewport()->height() % row, 0);
  EXPECT_EQ(scan().width() - scan().Command1.left(), stopRight);
  EXPECT_EQ(scan().height() - scan().Command1.top(), stopBottom);
}

}  // namespace
