#include "save/smartsave_run.h"

#include <chrono>
#include <thread>

#include "core/inifile.h"
#include "core/startup.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"
#include "save/save_engine.h"
#include "save/smartsave_state.h"
#include "windows/form1.h"
#include "windows/frmsmartsave.h"

namespace save {

namespace {

using forms::loadResString;

constexpr int kFirstCount = 6;  // the ticks show 5, 4, 3, 2, 1

int g_tickMs = 1500;
int g_closingMs = 3000;
bool g_running = false;

std::function<void(int)>& sleeper() {
  static std::function<void(int)> sleep;
  return sleep;
}

void pause(int ms) {
  if (sleeper()) {
    sleeper()(ms);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

std::string withAccelerator(int id) { return "&" + loadResString(id); }

class RunningFlag {
 public:
  RunningFlag() { g_running = true; }
  ~RunningFlag() { g_running = false; }
  RunningFlag(const RunningFlag&) = delete;
  RunningFlag& operator=(const RunningFlag&) = delete;
};

void loadWindow() {
  auto& w = windows::FrmSmartSave();
  w.setCaption(loadResString(1085));
  w.Label2.setCaption(loadResString(1170));
  w.Label3.setCaption("0");
  w.Timer1.setInterval(g_tickMs);
  w.Countdown = kFirstCount;
}

void tick() {
  auto& w = windows::FrmSmartSave();
  // Loaded hidden at start-up without a SmartSave: the first tick ends the timer.
  if (!w.visible()) {
    w.Timer1.setEnabled(false);
    return;
  }
  w.Command1.setCaption(withAccelerator(1171));
  w.Timer1.setInterval(g_tickMs);
  --w.Countdown;
  w.Label3.setCaption(loadResString(1172) + platform::vb::str(w.Countdown) + loadResString(1173));
  w.refresh();
  if (w.Countdown <= 1) startsmart();
}

// Skip during the countdown, Cancel during the save: the program ends at once,
// without the exit procedure.
void skip() {
  DeleteSmartGo();
  forms::end(0);
}

// The SmartSav folder, created when missing; false (message shown, logged)
// when it cannot be.
bool smartSaveFolderReady() {
  const std::string folder = SmartSaveFolder();
  const std::string bare = folder.substr(0, folder.size() - 1);
  try {
    if (!platform::folderExists(bare)) platform::mkDir(bare);
    return true;
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, "SmartSav SmartSave");
    forms::msgBox(loadResString(1039) + "\r" + folder, forms::vbOKOnly + forms::vbCritical,
                  loadResString(1011));
    return false;
  }
}

// The run's outcome in the SmartSave list and in SmartSv.ini.
void recordRun() {
  auto& st = core::state();
  const std::string date = SmartSaveDateText(st.TodayDate);
  st.SmartSaveSlot = static_cast<std::int16_t>(st.SmartSaveSlot + 1);
  const int k = st.SmartSaveSlot;
  windows::Form1().List1.setList(k - 1, "#" + std::to_string(k) + " : " + date);
  SmartSaveFile file = CurrentSmartSaveValues();
  // Today becomes the file's last date; LastSmartSaveDate stays as read.
  file.lastDate = platform::vb::trim(st.TodayDate);
  try {
    WriteSmartSaveFile(file);
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, "SmartSv.ini SmartSave");
  }
}

void showClosing(bool saved) {
  auto& w = windows::FrmSmartSave();
  if (saved) {
    w.Label2.setCaption("");
    w.Label3.setCaption(loadResString(1138));
  }
  w.StatusBar1.setSimpleText(loadResString(1148));
  w.refresh();
  if (saved) pause(g_closingMs);
}

// The program ends in order; should it still be here (its end recorded by
// a test), the countdown lets go.
void leave() {
  core::ExitProgram();
  auto& w = windows::FrmSmartSave();
  if (w.loaded()) w.hide();
}

}  // namespace

void bindSmartSaveWindow() {
  auto& w = windows::FrmSmartSave();
  w.onLoad = loadWindow;
  w.Timer1.onTimer = tick;
  w.Command1.onClick = skip;
}

void ShowSmartSaveCountdown() {
  auto& w = windows::FrmSmartSave();
  w.load();
  w.Countdown = kFirstCount;
  w.Label3.setCaption("0");
  w.Timer1.setInterval(g_tickMs);
  w.Timer1.setEnabled(true);
  w.show(forms::Modal);
}

void startsmart() {
  if (g_running) return;
  RunningFlag running;
  auto& w = windows::FrmSmartSave();
  auto& st = core::state();
  w.Timer1.setEnabled(false);
  w.Label2.setCaption(loadResString(1169) + "\r\r" + loadResString(1019));
  w.Command1.setCaption(withAccelerator(1092));
  w.Label3.setCaption("");
  w.refresh();

  if (st.SmartSaveSlot < 0 || st.SmartSaveSlot > 3) st.SmartSaveSlot = 0;
  st.CurrentConfig = static_cast<std::uint8_t>(st.SmartSaveSlot);
  st.SaveFolderBackup = st.SaveFolder;
  if (!smartSaveFolderReady()) {
    leave();  // the marker stays: the next start tries again
    return;
  }
  st.SaveFolder = SmartSaveFolder();
  const std::string name = "Config" + std::to_string(st.currentSlot()) + ".ini";
  st.IniPath = SmartSaveFolder() + name;
  st.ConfigIniPath = st.SaveFolder + name;

  // The engine replaces the slot's old files only when the new set is whole.
  SaveConfiguration();
  const bool saved = st.SaveSucceeded;
  if (saved) {
    recordRun();
  } else {
    core::WriteErrorLog(0, name + " SmartSave");
    st.SaveFolder = st.SaveFolderBackup;
  }
  showClosing(saved);
  DeleteSmartGo();
  leave();
}

std::string SmartSaveDateText(std::string_view todayDate) {
  const std::size_t slash = todayDate.find('/');
  if (slash == std::string_view::npos) return std::string(todayDate);
  const int month = static_cast<int>(platform::vb::val(platform::vb::mid(todayDate, slash + 2, 2)));
  const std::string monthText =
      month >= 1 && month <= 12 ? loadResString(1270 + month) : std::to_string(month);
  return std::string(todayDate.substr(0, slash)) + "/" + monthText + "/" + platform::vb::right(todayDate, 4);
}

void setSmartSaveTimings(int tickMs, int closingMs) {
  g_tickMs = tickMs;
  g_closingMs = closingMs;
}

void setSmartSaveSleep(std::function<void(int)> sleep) { sleeper() = std::move(sleep); }

}  // namespace save
