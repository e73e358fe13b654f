#include "rescue/boot_disk.h"

#include "core/inifile.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"
#include "rescue/disk_steps.h"
#include "rescue/snapshot.h"
#include "rescue/wizard.h"
#include "windows/form1.h"
#include "windows/wizzard.h"

namespace rescue {
namespace {

namespace vb = platform::vb;
using platform::RuntimeError;

using forms::res;

constexpr int kSystemFile = platform::kReadOnly | platform::kHidden | platform::kSystem;  // 7

// Errors of EdMsDos: the three file errors are shown, every error is logged.
template <class Statement>
void editStatement(Statement&& statement) {
  try {
    statement();
  } catch (const RuntimeError& error) {
    int message = 0;
    switch (error.number()) {
      case platform::kFileNotFound: message = 1064; break;
      case platform::kFileAlreadyExists: message = 1066; break;
      case platform::kDiskFull: message = 1067; break;
      default: break;
    }
    if (message) forms::msgBox(res(message) + "\r", forms::vbOKOnly);
    core::WriteErrorLog(error, " EditMsDos");
  }
}

bool containsText(std::string_view text, std::string_view find) {
  return text.find(find) != std::string_view::npos;
}

}  // namespace

std::string EditMsDosText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  bool logoMet = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    std::string_view line = text.substr(start, end - start);
    start = end;
    std::string_view lineEnd;
    std::string_view body = line;
    if (!body.empty() && body.back() == '\n') body.remove_suffix(1);
    if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
    lineEnd = line.substr(body.size());

    std::string edited(body);
    bool changed = false;
    if (containsText(edited, "BootGUI")) {
      edited = "BootGUI=0";
      changed = true;
    }
    if (!logoMet && containsText(edited, "Logo")) {
      edited = "Logo=0";
      changed = true;
      logoMet = true;
    }
    if (!logoMet && vb::trim(edited) == ";")
      out += "Logo=0" + std::string(lineEnd.empty() ? "\r\n" : lineEnd);
    if (changed) {
      out += edited;
      out += lineEnd;
    } else {
      out += line;
    }
  }
  return out;
}

void EdMsDos() {
  forms::setMousePointer(11);
  editStatement([] { platform::setAttr("a:\\Msdos.sys", platform::kNormal); });
  editStatement([] {
    if (!platform::fileExists("a:\\MSDOS.TMP")) return;
    platform::setAttr("a:\\MSDOS.TMP", platform::kNormal);
    platform::kill("a:\\MSDOS.TMP");
  });
  bool renamed = false;
  editStatement([&] {
    platform::rename("a:\\MSDOS.SYS", "a:\\MSDOS.TMP");
    renamed = true;
  });
  if (renamed) {
    editStatement([] {
      const std::string edited = EditMsDosText(platform::readFile("a:\\MSDOS.TMP"));
      platform::writeFile("a:\\MSDOS.SYS", edited);
    });
    editStatement([] {
      if (platform::fileExists("a:\\MSDOS.SYS")) {
        platform::kill("a:\\MSDOS.TMP");
      } else {
        platform::rename("a:\\MSDOS.TMP", "a:\\MSDOS.SYS");  // the unedited copy rather than none
      }
    });
  }
  forms::setMousePointer(0);
}

void MakeBootDisk() {
  auto& s = core::state();
  auto& w = windows::Wizzard();
  DiskJob job;
  std::string step;
  const auto logged = [&](const std::function<void()>& statement) { Logged(step, " BootDisk", statement); };

  logged([&] {
    s.DiskNo = 1;
    w.BootDiskDone = false;
  });
  logged([&] {
    for (auto* button : {&w.Command1, &w.Command2, &w.Command3, &w.Command4}) button->setEnabled(false);
    w.Command5.setVisible(false);
    w.Label3.setVisible(false);
    w.ProgressBar4.setVisible(true);
    w.Label1.setCaption(res(1061));
  });

  if (!TakeSnapshot()) {
    ShowBlankDiskPage();
    return;
  }

  const std::string version = windows::Form1().Label7.caption();
  const auto critical = [&](const std::function<void()>& statement) {
    if (Critical(step, statement)) return true;
    w.BootDiskDone = false;
    return false;
  };
  const auto copying = [&](std::string name) {
    step = std::move(name);
    Status(res(1095) + step);
  };

  if (!critical([] {
        forms::setMousePointer(11);
        platform::setVolumeLabel("a:\\", "Boot#1");
      }))
    return;

  if (!critical([&] { copying("MSDOS.SYS"); })) return;
  if (version == kWindows98First) {
    if (!critical([] { platform::writeFile("a:\\MsDos.sys", ""); })) return;
  } else {
    if (!critical([&] {
          platform::fileCopy("C:\\msdos.sys", "a:\\Msdos.sys");
          step = "Modifiying... MSDOS.SYS";
          Status(step);
          EdMsDos();
        }))
      return;
  }

  const std::string ioSource =
      version == kWindowsMe ? s.machine.SystemPath + "\\command\\ebd\\io.sys" : std::string("C:\\io.sys");
  if (!critical([&] {
        platform::setAttr("a:\\Msdos.sys", kSystemFile);
        copying("IO.SYS");
        platform::fileCopy(ioSource, "a:\\io.sys");
        platform::setAttr("a:\\io.sys", kSystemFile);
      }))
    return;
  if (!critical([&] {
        CopyingStep(step, "COMMAND.COM", s.machine.SystemPath + "\\command.com", "a:\\command.com");
      }))
    return;

  // Only compressed drives need it: a machine without it gives a disk without it.
  logged([&] { copying("DRVSPACE.BIN"); });
  logged([] { platform::fileCopy("C:\\drvspace.bin", "a:\\drvspace.bin"); });
  logged([] { platform::setAttr("a:\\drvspace.bin", kSystemFile); });
  logged([&] { CopyingStep(step, "HIMEM.SYS", s.machine.SystemPath + "\\Himem.sys", "A:\\Himem.sys"); });

  if (!critical([&] { MakingStep(step, "CONFIG.SYS", "a:\\Config.sys", ConfigSysText()); })) return;
  if (!critical([&] { MakingStep(step, "AUTOEXEC.BAT", "a:\\Autoexec.bat", AutoexecText()); })) return;

  logged([&] {
    forms::setMousePointer(0);
    w.BootDiskDone = true;
  });
  logged([&] { forms::msgBox(ChangeDiskPrompt(s.DiskNo), forms::vbOKOnly); });
  logged([&] { ++s.DiskNo; });
}

}  // namespace rescue
