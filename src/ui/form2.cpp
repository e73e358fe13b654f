#include "ui/form2.h"

#include "core/inifile.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/messages.h"
#include "platform/vb_convert.h"
#include "platform/vb_datetime.h"
#include "save/smartsave_state.h"
#include "ui/system_probe.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace ui {

using forms::res;
namespace {

// Set by the splash's load: the driver of this splash has run.
bool g_driverRan = false;

std::function<void()>& smartSaveStep() {
  static std::function<void()> step;
  return step;
}

void loadSplash() {
  windows::Form2Window& splash = windows::Form2();
  core::State& st = core::state();
  g_driverRan = false;
  st.TodayDate = todayDateText(platform::vb::date());
  splash.StatusBar1.setSimpleText(res(1512));
  splash.setCaption(res(1002));
  st.UserFilesIniPath = forms::appPath() + "\\UserFiles.ini";
  splash.ProgressBar1.setValue(10);
}

}  // namespace

std::string todayDateText(const platform::DateTime& day) {
  return platform::vb::str(day.day) + "/" + std::to_string(day.month) + "/" + std::to_string(day.year);
}

void setInitSmartSaveStep(std::function<void()> step) { smartSaveStep() = std::move(step); }

void startUp() {
  // Message boxes of the steps below keep the event loop running: a second
  // tick must find the timer stopped and the driver done.
  windows::Form2Window& splash = windows::Form2();
  if (splash.loaded()) splash.Timer1.setEnabled(false);  // (touching it would load the splash again)
  if (g_driverRan) return;
  g_driverRan = true;

  windows::Form1().load();
  core::enterProgramFolder();
  windows::UserFiles().load();
  windows::RestoreReq().load();
  CheckSystemf();
  windows::Form2().unload();
  core::state().SettingsSaved = true;
  smartSaveStep() ? smartSaveStep()() : save::InitSmartSave();
  windows::Form1().show();
}

void bindForm2() {
  windows::Form2Window& splash = windows::Form2();
  splash.onLoad = loadSplash;
  splash.Timer1.onTimer = startUp;
}

}  // namespace ui
