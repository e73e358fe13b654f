#include "rescue/wizard.h"

#include "core/disk_check.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/help.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "rescue/boot_disk.h"
#include "rescue/data_disk.h"
#include "rescue/disk_steps.h"
#include "rescue/snapshot.h"
#include "save/save_engine.h"
#include "windows/form1.h"
#include "windows/wizzard.h"

namespace rescue {
namespace {

using forms::res;

constexpr int kWizardHelpContext = 1040;

bool onFirstPage() { return !windows::Wizzard().Command1.enabled(); }

void leaveFirstPage(const std::string& text) {
  auto& w = windows::Wizzard();
  w.Option1.setVisible(false);
  w.Option2.setVisible(false);
  w.Command1.setEnabled(true);
  w.Label1.setCaption(text);
}

void back() {
  ShowFirstPage();
  windows::Wizzard().BootDiskDone = false;
}

void cancel() {
  auto& w = windows::Wizzard();
  ShowFirstPage();
  w.BootDiskDone = false;
  w.Command2.setVisible(true);
  w.Command2.setEnabled(true);
  w.Command3.setCaption("&" + res(1092));
  w.hide();
  windows::Form1().setWindowState(forms::WindowState::Normal);
  forms::doEvents();
}

void next() {
  auto& w = windows::Wizzard();
  if (w.Option2.value()) {
    if (onFirstPage()) {
      leaveFirstPage(UpdateText());
      w.Label3.setVisible(false);
      return;
    }
    UpDateDataDisk();
    return;
  }
  if (onFirstPage()) {
    leaveFirstPage(BlankDiskText());
    w.Label3.setCaption(res(1060));
    w.Label3.setVisible(false);
    w.Command5.setVisible(false);
    return;
  }
  if (!w.BootDiskDone) {
    forms::msgBox(FormatInstructionsText(), forms::vbOKOnly);
    core::FormatFloppy("A:");
    if (!BlankDiskReady()) return;
    MakeBootDisk();
  }
  if (!w.BootDiskDone) return;
  w.Command5.setVisible(true);
  for (auto* button : {&w.Command1, &w.Command2, &w.Command3, &w.Command4}) button->setEnabled(true);
  w.Label2.setCaption("");
  if (!BlankDiskReady()) return;
  MakeDataDisk();
}

}  // namespace

std::string IntroText() {
  return res(1053) + res(1054) + res(1055) + "\r\r" + res(1400) + "\r\r" + res(1056);
}

std::string BlankDiskText() { return res(1057) + "\r\r" + res(1058) + "\r\r\r" + res(1059); }

std::string UpdateText() { return res(1144) + res(1145); }

std::string FormatInstructionsText() {
  return res(1324) + "\r\r" + res(1325) + "\r" + res(1326) + "\r" + res(1327);
}

void ShowFirstPage() {
  auto& w = windows::Wizzard();
  w.Label1.setCaption(IntroText());
  w.Command1.setEnabled(false);
  w.Option1.setVisible(true);
  w.Option2.setVisible(true);
  w.Command5.setVisible(false);
  w.Label3.setVisible(false);
  w.ProgressBar4.setValue(0);
  w.ProgressBar4.setVisible(false);
}

void ShowBlankDiskPage() {
  auto& w = windows::Wizzard();
  forms::setMousePointer(0);
  w.BootDiskDone = false;
  w.Label1.setCaption(BlankDiskText());
  w.Label2.setCaption("");
  w.ProgressBar4.setValue(0);
  w.ProgressBar4.setVisible(false);
  for (auto* button : {&w.Command1, &w.Command2, &w.Command3, &w.Command4}) button->setEnabled(true);
}

bool BlankDiskReady() {
  std::string drive = "a:";
  if (!core::CheckWizardDiskEmpty(drive)) return false;
  bool writeProtected = false;
  try {
    writeProtected = platform::isWriteProtected("A:\\");
  } catch (const platform::RuntimeError&) {
    writeProtected = false;
  }
  if (!writeProtected) return true;
  forms::msgBox(res(1150) + "\r\r" + res(1058), forms::vbCritical, res(1011));
  return false;
}

void OpenRescueWizard() {
  if (save::OperationRunning()) return;
  windows::Form1().setWindowState(forms::WindowState::Minimized);
  windows::Wizzard().show(forms::Modeless);
}

void bindRescue() {
  auto& w = windows::Wizzard();
  w.onLoad = [] {
    auto& wizard = windows::Wizzard();
    wizard.Label1.setCaption(IntroText());
    wizard.setHelpContextId(kWizardHelpContext);
    forms::doEvents();
  };
  // Closing the window is Cancel; while a disk is written it is refused.
  w.onQueryUnload = [](bool& keep, int unloadMode) {
    if (unloadMode != 0) return;
    keep = true;
    if (!DiskJobRunning()) cancel();
  };
  w.Command1.onClick = back;
  w.Command2.onClick = next;
  w.Command3.onClick = cancel;
  w.Command4.onClick = [] { forms::sendKeys("{F1}", true); };
  w.Command5.onClick = [] { core::FormatFloppy("A:"); };
  bindSnapshot();
}

}  // namespace rescue
