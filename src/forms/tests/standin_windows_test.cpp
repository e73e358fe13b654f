// The Windows stand-in's own windows: folder browser, format dialog and the
// floppy media window, driven through their widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "forms/folder_browser_dialog.h"
#include "forms/format_dialog.h"
#include "forms/media_window.h"
#include "forms/system_dialogs.h"
#include "platform/files.h"
#include "support/test_machine.h"

namespace {

template <class T>
T* child(QWidget& parent, const char* name) {
  T* widget = parent.findChild<T*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

// Runs `act` on the modal dialog once it is up.
template <class Dialog>
void whenShown(std::function<void(Dialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(static_cast<Dialog&>(*dialog));
  });
}

class StandInWindowsTest : public ::testing::Test {
 protected:
  testsupport::TestMachine m;
};

TEST_F(StandInWindowsTest, FolderBrowserAnswersWindowsPaths) {
  m.mkdirs(R"(C:\BROWSE\Sub Folder)");
  forms::FolderBrowserDialog dialog("Select Destination Folder");
  EXPECT_EQ(child<QLabel>(dialog, "titleLabel")->text(), "Select Destination Folder");
  EXPECT_EQ(dialog.selectedPath(), "");
  EXPECT_FALSE(child<QPushButton>(dialog, "okButton")->isEnabled());  // "My Computer" is no folder
  ASSERT_TRUE(dialog.selectPath(R"(c:\browse\sub folder)"));
  EXPECT_EQ(dialog.selectedPath(), R"(C:\BROWSE\Sub Folder)");
  EXPECT_TRUE(child<QPushButton>(dialog, "okButton")->isEnabled());
  ASSERT_TRUE(dialog.selectPath("C:\\"));
  EXPECT_EQ(dialog.selectedPath(), "C:\\");
  EXPECT_FALSE(dialog.selectPath(R"(C:\BROWSE\Missing)"));
}

TEST_F(StandInWindowsTest, FolderBrowserRunsModallyAndCancelGivesNothing) {
  m.mkdirs(R"(C:\DATA)");
  whenShown<forms::FolderBrowserDialog>([](forms::FolderBrowserDialog& d) {
    d.selectPath(R"(C:\DATA)");
    child<QPushButton>(d, "okButton")->click();
  });
  EXPECT_EQ(forms::runFolderBrowser("Pick"), R"(C:\DATA)");
  whenShown<forms::FolderBrowserDialog>([](forms::FolderBrowserDialog& d) {
    d.selectPath(R"(C:\DATA)");
    child<QPushButton>(d, "cancelButton")->click();
  });
  EXPECT_EQ(forms::runFolderBrowser("Pick"), "");
}

TEST_F(StandInWindowsTest, FormatDialogFormatsAndShowsWhyItCannot) {
  platform::MediumSpec spec;
  spec.label = "OLD";
  const std::string disk = m.addMedium(spec, 'A');
  m.write(R"(A:\CONF1.KV1)", "part");
  forms::FormatDriveDialog dialog('A');
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Format - 3½ Floppy (A:)"));
  child<QLineEdit>(dialog, "labelEdit")->setText("save#1");
  child<QPushButton>(dialog, "startButton")->click();
  EXPECT_TRUE(dialog.formatted());
  EXPECT_TRUE(child<QLabel>(dialog, "resultLabel")->text().contains("bytes available on disk"));
  EXPECT_FALSE(m.exists(R"(A:\CONF1.KV1)"));

  platform::setWriteProtected(disk, true);
  forms::FormatDriveDialog again('A');
  child<QRadioButton>(again, "fullOption")->setChecked(true);
  child<QCheckBox>(again, "noLabelCheck")->setChecked(true);
  child<QPushButton>(again, "startButton")->click();
  EXPECT_FALSE(again.formatted());
  EXPECT_TRUE(child<QLabel>(again, "resultLabel")->text().contains("write-protected"));
}

TEST_F(StandInWindowsTest, MediaWindowSwapsTheDiskInDriveA) {
  m.eject('A');
  forms::MediaWindow window('A');
  EXPECT_TRUE(child<QLabel>(window, "driveStatus")->text().contains("is empty"));
  const std::string blank = window.createDisk(false);
  EXPECT_EQ(platform::insertedMedium('A'), blank);
  EXPECT_TRUE(child<QLabel>(window, "driveStatus")->text().contains("not formatted"));
  const std::string formatted = window.createDisk(true);
  EXPECT_EQ(platform::insertedMedium('A'), formatted);
  EXPECT_TRUE(platform::mediumPresent("A:\\"));
  window.setSelectedWriteProtected(true);
  EXPECT_TRUE(platform::isWriteProtected("A:\\"));
  child<QPushButton>(window, "ejectButton")->click();
  EXPECT_EQ(platform::insertedMedium('A'), "");
}

TEST_F(StandInWindowsTest, InstallMakesThemTheDialogsOfTheService) {
  forms::installStandInWindows();
  EXPECT_TRUE(static_cast<bool>(forms::folderBrowser()));
  EXPECT_TRUE(static_cast<bool>(forms::formatDialog()));
  forms::setFolderBrowser({});
  forms::setFormatDialog({});
}

}  // namespace
