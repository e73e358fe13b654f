// The Restore page: the two lists and their selection, the Restore button's
// refusals and question, and the road into the restore dialog on the demo
// machine, with the save folder back afterwards.
#include "ui/restore_page.h"

#include <QTimer>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/startup.h"
#include "core/state.h"
#include "core/userlist.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/restart.h"
#include "restore/load_cini.h"
#include "restore/loaded_configuration.h"
#include "save/boxes.h"
#include "support/window_fixture.h"
#include "ui/system_probe.h"
#include "windows/form1.h"
#include "windows/restorereq.h"

namespace {

using forms::vbCritical;
using forms::vbNo;
using forms::vbOKOnly;
using forms::vbQuestion;
using forms::vbYes;
using forms::vbYesNo;
using windows::Form1;
using windows::RestoreReq;

const std::string kProgram = std::string(uitest::kProgramFolder) + "\\";

std::string question(const std::string& name) {
  return "Are you sure you wish to restore the\rfollowing Configuration?\r" + name;
}

// Every file of the machine with its bytes.
std::map<std::string, std::string> allFiles(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    files[entry.path().string()] = bytes.str();
  }
  return files;
}

class RestorePage : public uitest::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    Form1().load();
    loadSplashQuietly();
    core::state().SaveFolder = "C:\\SAVE\\";
    machine.mkdirs("C:\\SAVE\\");
  }

  // Answers the dialog, when it shows, with `act` and then Cancel.
  void inDialog(std::function<void()> act) {
    QTimer::singleShot(0, [act] {
      act();
      if (RestoreReq().visible()) RestoreReq().Command2.click();
    });
  }

  static std::vector<int> enabledBoxes() {
    std::vector<int> numbers;
    windows::RestoreReqWindow& r = RestoreReq();
    forms::CheckBox* boxes[] = {&r.Check1,  &r.Check2,  &r.Check3,  &r.Check4,  &r.Check5,
                                &r.Check6,  &r.Check7,  &r.Check8,  &r.Check9,  &r.Check10,
                                &r.Check11, &r.Check12, &r.Check13, &r.Check14, &r.Check15,
                                &r.Check16, &r.Check17, &r.Check18, &r.Check19, &r.Check20,
                                &r.Check21, &r.Check22, &r.Check23, &r.Check24, &r.Check25};
    for (int n = 1; n <= 25; ++n)
      if (boxes[n - 1]->enabled()) numbers.push_back(n);
    return numbers;
  }

  void writeDescription(const std::string& path, const std::string& saved) {
    machine.write(path, "[Configuration]\r\nOSV=" + Form1().Label5.caption() +
                            "\r\n\r\n[SystemFiles]\r\nSaveFolder=C:\\SAVE\\\r\n\r\n[SystemFilesSaved]\r\n" +
                            saved + "\r\n");
  }
};

TEST_F(RestorePage, ListClicksChooseOneConfigurationAndRefuseFreeOrUnsavedOnes) {
  windows::Form1Window& f = Form1();
  for (int row = 0; row < 5; ++row) f.List2.setList(row, row == 1 ? "2 Work" : "available");
  f.List1.clear();
  for (const char* row : {"#1 : Not Saved", "#2 : 12/01/2026", "#3 : Not Saved", "#4 : Not Saved"})
    f.List1.addItem(row);

  f.List2.setListIndex(1);
  EXPECT_TRUE(f.Command4.enabled());
  EXPECT_EQ(core::state().CurrentConfig, 1);
  EXPECT_EQ(ui::selectedName(), "2 Work");

  f.List1.setListIndex(1);
  EXPECT_TRUE(f.Command4.enabled());
  EXPECT_EQ(f.List2.listIndex(), -1);
  EXPECT_EQ(core::state().CurrentConfig, 1);

  f.List2.setListIndex(3);
  EXPECT_FALSE(f.Command4.enabled());
  EXPECT_EQ(f.List1.listIndex(), -1);

  f.List1.setListIndex(2);
  EXPECT_FALSE(f.Command4.enabled());
}

TEST_F(RestorePage, TheRestoreButtonRefusesAMissingNameAFreeSlotAndAMissingDescription) {
  core::State& st = core::state();
  Form1().List1.setListIndex(-1);
  const struct {
    std::string name;
    bool described;
    std::string message;
  } cases[] = {
      {"", true, "Please select configuration"},
      {"available", true, "Configuration not available"},
      {"Gone", false, "Configuration not available"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    st.CurrentConfig = 2;
    st.ConfigNames(3) = c.name;
    if (c.described)
      writeDescription(kProgram + "Config3.ini", "Win.ini=1");
    else
      machine.remove(kProgram + "Config3.ini");
    dialogs().expect(c.message).style(vbOKOnly + vbCritical).title("Message");
    Form1().Command4.click();
    EXPECT_EQ(st.SaveFolder, "C:\\SAVE\\");
    EXPECT_FALSE(RestoreReq().visible());
  }
  // A slot named like the free text but not equal to it is a configuration.
  st.ConfigNames(3) = "notavailable";
  writeDescription(kProgram + "Config3.ini", "Win.ini=1");
  dialogs().expect(question("notavailable")).style(vbYesNo + vbQuestion).title("Confirmation").answer(vbNo);
  Form1().Command4.click();
  EXPECT_EQ(st.SaveFolder, "C:\\SAVE\\");
}

TEST_F(RestorePage, ASmartSaveRowReadsTheSmartSaveCopyAndPutsTheSaveFolderBack) {
  windows::Form1Window& f = Form1();
  f.List1.clear();
  for (const char* row : {"#1 : Not Saved", "#2 : 12/01/2026", "#3 : Not Saved", "#4 : Not Saved"})
    f.List1.addItem(row);
  f.List1.setListIndex(1);
  writeDescription(kProgram + "SmartSav\\Config2.ini", "Config.sys=1");
  writeDescription(kProgram + "Config2.ini", "Win.ini=1");
  std::vector<int> offered;
  dialogs().expect(question("SmartSave #2 : 12/01/2026")).answer(vbYes);
  inDialog([&] { offered = enabledBoxes(); });
  f.Command4.click();
  EXPECT_EQ(offered, (std::vector<int>{2}));
  EXPECT_EQ(core::state().SaveFolder, "C:\\SAVE\\");
  EXPECT_EQ(core::state().CurrentConfig, 1);
}

TEST_F(RestorePage, ASavedSlotOffersExactlyItsGroupsAndCancelChangesNoFile) {
  windows::Form1Window& f = Form1();
  ui::CheckSystemf();
  for (int box = 1; box <= 17; ++box) save::Form1Box(box).setValue(0);
  for (int box : {1, 2, 3, 4, 5, 6, 11, 12}) save::UserFilesBox(box).setValue(0);
  machine.write("C:\\WINDOWS\\Favorites\\Links\\Home.url", "[InternetShortcut]\r\n");
  machine.write("C:\\My Documents\\Brief.doc", "Dear");
  machine.write(kProgram + "kelvaran.usr", " 1\r\nC:\\My Documents\\Brief.doc\r\n\r\n");
  save::Form1Box(2).setValue(1);       // Win.ini
  save::Form1Box(8).setValue(1);       // Autoexec.bat
  save::UserFilesBox(12).setValue(1);  // Favorites
  f.Option2.setValue(true);
  f.Text1.setText("Demo");
  dialogs().expect("Configuration saved successfull!");
  f.Command1.click();
  ASSERT_TRUE(core::state().SaveSucceeded);
  const std::vector<std::string> saved = core::parseUserList(machine.read(kProgram + "Config2.usr"));
  ASSERT_EQ(saved, (std::vector<std::string>{"C:\\My Documents\\Brief.doc"}));

  const auto before = allFiles(machine.root());
  f.List2.setListIndex(1);
  dialogs().expect(question(core::state().ConfigNames(2))).answer(vbYes);
  std::vector<int> offered;
  std::vector<std::string> files;
  inDialog([&] {
    offered = enabledBoxes();
    for (int i = 0; i < RestoreReq().List1.listCount(); ++i) files.push_back(RestoreReq().List1.list(i));
  });
  f.Command4.click();

  EXPECT_EQ(offered, (std::vector<int>{1, 9, 11}));  // Autoexec.bat, Win.ini, Favorites
  EXPECT_EQ(files, saved);
  EXPECT_FALSE(RestoreReq().visible());
  EXPECT_EQ(core::state().SaveFolder, "C:\\SAVE\\");
  EXPECT_EQ(allFiles(machine.root()), before);
}

}  // namespace

namespace {

// Windows' restart closes the program as it closes any window: the exit runs,
// saves this machine's settings (not a loaded configuration's) and unloads
// every window.
TEST_F(RestorePage, TheRestartsCloseRunsTheExitWithThisMachinesSettings) {
  int ended = 0;
  core::setProgramEnd([&] { ++ended; });
  platform::clearRestartRequests();
  platform::setRestartHooks({[] { windows::Form1().unloadForShutdown(); }, [] {}});
  const std::string ownWindows = core::state().machine.SystemPath;
  machine.write(kProgram + "Config1.ini",
                "[Configuration]\r\nOSV=" + Form1().Label5.caption() +
                    "\r\n\r\n[SystemFiles]\r\nSystemPath=D:\\WIN98\r\nSaveFolder=E:\\THEIRS\\\r\n\r\n"
                    "[UserFiles]\r\nPathFavorites=D:\\WIN98\\Favoriten\\\r\n");
  core::state().CurrentConfig = 0;
  restore::LoadCINI();
  ASSERT_EQ(restore::loadedConfiguration().SystemPath, "D:\\WIN98");
  RestoreReq().show();

  EXPECT_TRUE(platform::exitWindowsEx(platform::kEwxShutdown | platform::kEwxReboot, 0));
  platform::setRestartHooks({});
  core::setProgramEnd(nullptr);

  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(RestoreReq().loaded());
  EXPECT_FALSE(Form1().loaded());
  EXPECT_EQ(core::ReadIni("SystemPathes", "SystemPath", kProgram + "kelvaran.ini"), ownWindows);
  EXPECT_EQ(core::ReadIni("SystemPathes", "SaveFolder", kProgram + "kelvaran.ini"), "C:\\SAVE\\");
}

// No to the question about a configuration of another operating system ends
// the road there: the restore dialog is not shown.
TEST_F(RestorePage, DecliningTheOtherSystemsQuestionShowsNoRestoreDialog) {
  core::State& st = core::state();
  Form1().List1.setListIndex(-1);
  st.CurrentConfig = 2;
  st.ConfigNames(3) = "Other";
  machine.write(kProgram + "Config3.ini",
                "[Configuration]\r\nOSV=Windows 95 of another machine\r\n\r\n[SystemFiles]\r\n"
                "SaveFolder=C:\\SAVE\\\r\n\r\n[SystemFilesSaved]\r\nWin.ini=1\r\n");
  dialogs().expect(question("Other")).answer(vbYes);
  dialogs().expect(forms::loadResString(1600)).containing().style(vbYesNo + vbQuestion).answer(vbNo);
  bool shown = false;
  inDialog([&] { shown = RestoreReq().visible(); });
  Form1().Command4.click();
  forms::doEvents();
  EXPECT_FALSE(shown);
  EXPECT_EQ(st.SaveFolder, "C:\\SAVE\\");
}

}  // namespace
