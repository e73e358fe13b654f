#pragma once
// What the rescue-disk writers share: their error modes, the wizard's status
// line and bar, the files they write, and the state of a running disk job.
#include <functional>
#include <string>
#include <string_view>

namespace rescue {

// The text of a critical failure of `step`: "File not found!" (53), "File
// already exist!" (58), "Disk is full!" (61, with the pointer to the
// documentation) or the runtime's own text for any other error, then the step
// and "Your Rescue Disk is probably not functional. ..."; blank lines between.
// Error 0 (a copy that did not complete and has shown why): the step and that
// last sentence only.
std::string CriticalText(int error, std::string_view step);

// Critical mode: runs `statement` (which may move `step` on); when it fails, CriticalText is shown
// (critical icon, "Warning!"), the error is logged as step & " BootDisk
// critical" and the program ends at once (no exit sequence). False then; the
// caller stops (a test that records the end sees the caller return).
bool Critical(const std::string& step, const std::function<void()>& statement);

// Logging mode: a failing statement is logged with step & context and the
// writer goes on. True when the statement ran.
bool Logged(const std::string& step, std::string_view context, const std::function<void()>& statement);

// The wizard's status line (Label2) and the progress step after it (Refres).
void Status(std::string_view text);
// Refres: repaints the wizard, lets pending events run and, while the bar
// stands below 130, moves it on by 7.
void Refres();

// One step of a disk writer: the step text becomes `name`, the status line
// reads "Making..." & name (Refres follows) and `target` is written with `text`.
void MakingStep(std::string& step, std::string_view name, std::string_view target, std::string_view text);
// The same with "Copying..." & name, copying `source` to `target`.
void CopyingStep(std::string& step, std::string_view name, std::string_view source, std::string_view target);

// The lines the rescue disks start with, CR LF each: CONFIG.SYS (two lines)
// and AUTOEXEC.BAT (ten lines, the last starting a:\Kvados.exe).
std::string ConfigSysText();
std::string AutoexecText();

// "Please remove Disk No. <n> now and label it KELVARAN RESCUE DISK NO. <n>",
// two line breaks, "Please insert Disk No. <n+1> now!".
std::string ChangeDiskPrompt(int diskNo);

// While a disk job runs the main window takes no clicks and the program
// does not end; the guard puts both back when the job is over.
class DiskJob {
 public:
  DiskJob();
  ~DiskJob();
  DiskJob(const DiskJob&) = delete;
  DiskJob& operator=(const DiskJob&) = delete;

 private:
  bool outer_;
};

// True while a disk job runs.
bool DiskJobRunning();

}  // namespace rescue
