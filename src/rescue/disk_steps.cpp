#include "rescue/disk_steps.h"

#include <algorithm>

#include "core/inifile.h"
#include "core/startup.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb_convert.h"
#include "windows/form1.h"
#include "windows/wizzard.h"

namespace rescue {
namespace {

using forms::res;

}  // namespace

std::string CriticalText(int error, std::string_view step) {
  std::string head;
  switch (error) {
    case 0: return std::string(step) + "\r\r" + res(1065);
    case platform::kFileNotFound: head = res(1064); break;
    case platform::kFileAlreadyExists: head = res(1066); break;
    case platform::kDiskFull: head = res(1067); break;
    default: head = platform::errorText(error); break;
  }
  std::string text = head + "\r\r" + std::string(step) + "\r\r" + res(1065);
  if (error == platform::kDiskFull) text += "\r\r" + res(1182);
  return text;
}

bool Critical(const std::string& step, const std::function<void()>& statement) {
  try {
    statement();
    return true;
  } catch (const platform::RuntimeError& error) {
    try {
      forms::msgBox(CriticalText(error.number(), step), forms::vbCritical, res(1005));
    } catch (const std::exception&) {
    }
    core::WriteErrorLog(error, std::string(step) + " BootDisk critical");
    core::EndProgramNow();
    return false;
  }
}

bool Logged(const std::string& step, std::string_view context, const std::function<void()>& statement) {
  try {
    statement();
    return true;
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, std::string(step) + std::string(context));
    return false;
  }
}

void Status(std::string_view text) {
  windows::Wizzard().Label2.setCaption(text);
  Refres();
}

void Refres() {
  auto& w = windows::Wizzard();
  w.refresh();
  forms::doEvents();
  auto& bar = w.ProgressBar4;
  if (bar.value() < 130) bar.setValue(std::min(bar.value() + 7, bar.max()));
}

void MakingStep(std::string& step, std::string_view name, std::string_view target, std::string_view text) {
  step = name;
  Status(res(1096) + step);
  platform::writeFile(target, text);
}

void CopyingStep(std::string& step, std::string_view name, std::string_view source, std::string_view target) {
  step = name;
  Status(res(1095) + step);
  platform::fileCopy(source, target);
}

std::string ConfigSysText() { return "Files=40\r\nDevice=A:\\Himem.sys\r\n"; }

std::string AutoexecText() {
  std::string text;
  for (int id : {1159, 1160, 1161, 1162, 1163, 1164, 1163, 1165, 1160}) text += res(id) + "\r\n";
  return text + "a:\\Kvados.exe\r\n";
}

std::string ChangeDiskPrompt(int diskNo) {
  return res(1062) + platform::vb::str(diskNo) + res(1063) + platform::vb::str(diskNo) + "\r\r" + res(1195) +
         platform::vb::str(diskNo + 1) + res(1196);
}

DiskJob::DiskJob() : outer_(!core::state().DiskJobRunning) {
  if (!outer_) return;
  core::state().DiskJobRunning = true;
  windows::Form1().setEnabled(false);
}

DiskJob::~DiskJob() {
  if (!outer_) return;
  core::state().DiskJobRunning = false;
  try {
    windows::Form1().setEnabled(true);
  } catch (const std::exception&) {
  }
}

bool DiskJobRunning() { return core::state().DiskJobRunning; }

}  // namespace rescue
