#include "core/disk_check.h"

#include <cstdint>
#include <optional>

#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "windows/frmnotempty.h"
#include "windows/wizzard.h"

namespace core {
namespace {

// A drive larger than this many bytes is not a floppy disk.
constexpr std::int32_t kFloppyLimit = 3000000;
// Hidden, system and folder entries count as content; volume labels do not.
constexpr int kContentMask = platform::kHidden | platform::kSystem | platform::kDirectory;

constexpr char kFormatTag[] = "Formatieren";
constexpr char kCancelTag[] = "Cancel";
constexpr char kContinueTag[] = "Continue";

NotEmptyPresenter& presenter() {
  static NotEmptyPresenter instance;
  return instance;
}

using forms::res;

// The first entry of the drive's root ("" for a blank disk); raises for a
// drive that cannot be read.
std::string firstEntry(std::string_view drive) {
  const auto entries = platform::findNames(platform::vb::left(drive, 2) + "\\*.*", kContentMask);
  return entries.empty() ? std::string() : entries.front().name;
}

// After a look at the floppy the checks list drive C:, so that the floppy
// drive is left alone; a failure of that listing does not matter.
void leaveFloppy() {
  try {
    platform::findNames("c:\\*.*", kContentMask);
  } catch (const platform::RuntimeError&) {
  }
}

std::string noDiskText() { return res(1070) + "\r\r" + res(1071); }

// The first entry of the drive's root, or nullopt after the "No disk inserted"
// message for a disk that cannot be read.
std::optional<std::string> firstEntryOrNoDisk(std::string_view drive) {
  try {
    return firstEntry(drive);
  } catch (const platform::RuntimeError&) {
    forms::msgBox(noDiskText(), forms::vbCritical, res(1011));
    leaveFloppy();
    return std::nullopt;
  }
}

// The "No disk inserted" question of CheckDisk around one statement.
enum class Attempt { Done, Failed, Cancelled };

template <class Statement>
Attempt attempt(Statement&& statement) {
  try {
    statement();
    return Attempt::Done;
  } catch (const platform::RuntimeError&) {
    leaveFloppy();
    const int answer = forms::msgBox(res(1070), forms::vbCritical + forms::vbOKCancel, res(1011));
    leaveFloppy();
    return answer == forms::vbCancel ? Attempt::Cancelled : Attempt::Failed;
  }
}

// Sets frmNotEmpty's texts afresh, as before every showing.
void prepareNotEmpty(windows::FrmNotEmptyWindow& window) {
  window.Command1.setCaption(res(1102));
  window.Command2.setCaption(res(1223));
  window.Command3.setCaption(res(1083));
  window.Label1.setCaption(res(1068) + "\r\r" + res(1219) + "\r" + res(1220) + "\r\r" + res(1218) + "\r\r" +
                           res(1222));
  window.setCaption(res(1011));
  window.Tag.clear();  // closing the window without a button is no answer
}

// Puts the hourglass aside while a dialog is up.
class DefaultPointer {
 public:
  DefaultPointer() : hourglass_(forms::mousePointer() == 11) {
    if (hourglass_) forms::setMousePointer(0);
  }
  ~DefaultPointer() {
    if (hourglass_) forms::setMousePointer(11);
  }
  DefaultPointer(const DefaultPointer&) = delete;
  DefaultPointer& operator=(const DefaultPointer&) = delete;

 private:
  bool hourglass_;
};

}  // namespace

void InstallNotEmptyHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  auto& window = windows::frmNotEmpty();
  const auto answer = [&window](const char* tag) {
    return [&window, tag] {
      window.Tag = tag;
      window.hide();
    };
  };
  window.Command1.onClick = answer(kFormatTag);
  window.Command2.onClick = answer(kCancelTag);
  window.Command3.onClick = answer(kContinueTag);
  window.onLoad = [&window] { window.setHelpContextId(2040); };
}

void SetNotEmptyPresenter(NotEmptyPresenter show) { presenter() = std::move(show); }

bool CheckDisk(const std::string& path) {
  if (path.size() > 3) {
    bool found = false;
    if (attempt([&] { found = !platform::findNames(path).empty(); }) == Attempt::Cancelled) return false;
    if (!found) {
      forms::msgBox(res(1246) + path + res(1247), forms::vbCritical);
      return false;
    }
  }
  for (;;) {
    switch (attempt([&] { firstEntry(path); })) {
      case Attempt::Done: leaveFloppy(); return true;
      case Attempt::Cancelled: return false;
      case Attempt::Failed: break;  // another try with the disk now in the drive
    }
  }
}

bool CheckDiskEmpty(const std::string& drive) {
  InstallNotEmptyHandlers();
  CheckDisk(drive);
  auto& s = state();
  std::int32_t total = 0, free = 0;
  s.SysInfo.DriveInfo(platform::vb::left(drive, 3), total, free);
  s.DriveTotalBytes = total;
  if (total > kFloppyLimit) return true;

  // A disk that cannot be read passes here: the caller's writes then fail.
  const auto entry = firstEntryOrNoDisk(drive);
  if (!entry || entry->empty()) return true;

  leaveFloppy();
  auto& window = windows::frmNotEmpty();
  prepareNotEmpty(window);
  DefaultPointer pointer;
  if (presenter()) {
    presenter()(window);
  } else {
    window.show(forms::Modal);
  }
  if (window.Tag == kFormatTag) {
    window.unload();
    window.Tag.clear();
    leaveFloppy();
    try {
      FormatFloppy(drive);
    } catch (const platform::RuntimeError&) {
      forms::msgBox(noDiskText(), forms::vbCritical, res(1011));
    }
    return false;
  }
  return window.Tag == kContinueTag;
}

bool CheckWizardDiskEmpty(std::string& drive) {
  auto& wizard = windows::Wizzard();
  wizard.Command3.setVisible(true);
  wizard.Label3.setVisible(true);
  drive = platform::vb::left(drive, 2);
  const auto entry = firstEntryOrNoDisk(drive);
  if (!entry || *entry == ".") return false;
  if (entry->empty()) return true;
  forms::msgBox(res(1068) + "\r\r" + res(1069), forms::vbCritical, res(1011));
  leaveFloppy();
  return false;
}

void FormatFloppy(std::string_view drive) {
  const char letter = drive.empty() ? 'A' : platform::vb::upperChar(drive.front());
  DefaultPointer pointer;
  forms::dialogService().formatDrive(letter);
}

}  // namespace core
