#include "rescue/data_disk.h"

#include <string>

#include "core/disk_copy.h"
#include "core/inifile.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb_convert.h"
#include "rescue/disk_steps.h"
#include "rescue/snapshot.h"
#include "rescue/wizard.h"
#include "windows/wizzard.h"

namespace rescue {
namespace {

using forms::res;

std::string programFile(const char* name) { return forms::appPath() + "\\" + name; }

// The snapshot onto the disk in A: and the disks after it; true when the copy
// completed.
bool moveSnapshot() {
  auto& s = core::state();
  s.SpanTargetRoot = "A:\\";
  bool moved = false;
  try {
    moved = core::MoveFileToDisk(SnapshotPath(), "a:\\", ChangeDiskPrompt(s.DiskNo));
  } catch (const std::exception&) {
    moved = false;
  }
  s.SpanTargetRoot.clear();
  forms::doEvents();
  return moved;
}

// Is the disk in A: a data disk? Nothing found answers false; a disk that
// cannot be read raises.
bool holdsSnapshot() {
  return !platform::findFiles("a:\\Configd.kvz", platform::kNormal).empty() ||
         !platform::findFiles("a:\\Configd.kv1", platform::kNormal).empty();
}

// The wizard after a copy that did not complete: only Exit and Help work.
void showCopyFailed(const std::string& text) {
  auto& w = windows::Wizzard();
  forms::setMousePointer(0);
  w.Label1.setCaption(res(1065));
  w.Label2.setCaption("");
  w.Command1.setEnabled(false);
  w.Command2.setEnabled(false);
  w.Command3.setCaption("&" + res(1517));
  forms::msgBox(text, forms::vbCritical, res(1005));
  w.Command3.setEnabled(true);
  w.Command4.setEnabled(true);
}

}  // namespace

void MakeDataDisk() {
  auto& s = core::state();
  auto& w = windows::Wizzard();
  DiskJob job;
  std::string step;
  const auto critical = [&](const std::function<void()>& statement) { return Critical(step, statement); };

  if (!critical([] {
        forms::setMousePointer(11);
        platform::setVolumeLabel("a:\\", "Data#1");
      }))
    return;
  if (!critical([&] {
        w.Command1.setVisible(false);
        w.Command2.setVisible(false);
        w.Command3.setEnabled(false);
        w.Command4.setEnabled(false);
        w.Command5.setVisible(false);
        w.Label3.setVisible(false);
      }))
    return;
  if (!critical([&] { MakingStep(step, "AUTOEXEC.BAT", "a:\\Autoexec.bat", AutoexecText()); })) return;
  if (!critical([&] {
        CopyingStep(step, "COMMAND.COM", s.machine.SystemPath + "\\command.com", "a:\\command.com");
      }))
    return;
  if (!critical(core::enterProgramFolder)) return;
  if (!critical([&] { CopyingStep(step, "KVADOS.EXE", programFile("Kvados.exe"), "A:\\Kvados.exe"); }))
    return;
  if (!critical([&] {
        CopyingStep(step, "kelvaran.INI", programFile("kelvaran.ini"), "a:\\kelvaran.ini");
        Refres();
      }))
    return;
  if (!critical([&] {
        step = "Unzip.exe";
        windows::Wizzard().Label2.setCaption(res(1095) + step);
        platform::fileCopy(programFile("Unzip.exe"), "a:\\Unzip.exe");
        Refres();
      }))
    return;
  if (!critical([&] {
        step = "[Current Configuration]";
        Status(res(1095) + step);
      }))
    return;

  if (!moveSnapshot()) {
    showCopyFailed(CriticalText(0, step));
    return;
  }

  if (!critical([&] {
        w.ProgressBar4.setValue(130);
        w.Label1.setCaption(res(1097));
        w.Label2.setCaption("");
        w.Command3.setCaption("&" + res(1517));
        w.Command1.setEnabled(false);
        forms::setMousePointer(0);
        Refres();
      }))
    return;
  forms::msgBox(res(1072) + platform::vb::str(s.DiskNo), forms::vbOKOnly);
  forms::msgBox(res(1073) + "\r" + res(1074) + "\r\r" + res(1075) + "\r" + res(1076), forms::vbOKOnly);
  w.Command3.setEnabled(true);
}

void UpDateDataDisk() {
  auto& s = core::state();
  auto& w = windows::Wizzard();

  bool dataDisk = false;
  try {
    dataDisk = holdsSnapshot();
  } catch (const platform::RuntimeError&) {
    forms::msgBox(res(1070) + "\r\r" + res(1071), forms::vbCritical, res(1011));
    return;
  }
  if (!dataDisk) {
    const int answer =
        forms::msgBox(res(1142) + "\r" + res(1143) + "\r\r" + res(1149),
                      forms::vbRetryCancel + forms::vbCritical + forms::vbDefaultButton2, res(1005));
    if (answer == forms::vbRetry) UpDateDataDisk();
    w.Label1.setCaption(IntroText());
    w.Command1.setEnabled(false);
    w.Option1.setVisible(true);
    w.Option2.setVisible(true);
    w.ProgressBar4.setValue(0);
    w.ProgressBar4.setVisible(false);
    w.BootDiskDone = false;
    return;
  }

  DiskJob job;
  std::string step;
  const auto critical = [&](const std::function<void()>& statement) { return Critical(step, statement); };
  forms::setMousePointer(11);
  for (auto* button : {&w.Command1, &w.Command2, &w.Command3, &w.Command4}) button->setEnabled(false);
  if (!TakeSnapshot()) {
    forms::setMousePointer(0);
    for (auto* button : {&w.Command1, &w.Command2, &w.Command3, &w.Command4}) button->setEnabled(true);
    return;
  }
  if (!critical([&] {
        w.Label2.setVisible(true);
        w.Label2.setCaption(res(1095) + res(1118) + res(1019));
        w.Label2.refresh();
      }))
    return;
  if (!critical([] { platform::kill("a:\\Configd.kv?"); })) return;
  step = "Configd.kvz";
  s.DiskNo = 2;

  if (!moveSnapshot()) {
    showCopyFailed(CriticalText(0, step) + "\r\r" + res(1077) + SnapshotPath());
    return;
  }

  if (!critical([&] {
        w.Label1.setCaption(res(1146));
        w.Command3.setCaption("&" + res(1517));
        w.Command1.setEnabled(false);
        forms::setMousePointer(0);
        w.refresh();
      }))
    return;
  forms::msgBox(res(1073) + "\r" + res(1147) + "\r\r" + res(1075) + "\r" + res(1076), forms::vbOKOnly);
  w.Label2.setCaption("");
  w.Command3.setEnabled(true);
  w.Command4.setEnabled(true);
}

}  // namespace rescue
