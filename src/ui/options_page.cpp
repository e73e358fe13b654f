#include "ui/options_page.h"

#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/settings.h"
#include "core/startup.h"
#include "core/state.h"
#include "platform/error.h"
#include "windows/form1.h"

namespace ui {
namespace {

// The system-file boxes in the order All and None visit them; Check1 (the
// Start menu) is not one of them.
std::vector<forms::CheckBox*> systemFileBoxes() {
  windows::Form1Window& f = windows::Form1();
  return {&f.Check2,  &f.Check3,  &f.Check4,  &f.Check5,  &f.Check6,  &f.Check7,  &f.Check8,  &f.Check9,
          &f.Check10, &f.Check11, &f.Check12, &f.Check13, &f.Check14, &f.Check15, &f.Check16, &f.Check17};
}

void boxChanged() {
  windows::Form1().Command14.setEnabled(true);
  core::state().SettingsSaved = false;
}

// All and None: a disabled box (a file this machine lacks) keeps its state.
void tickSystemFiles(bool on) {
  if (core::exitRefused()) return;
  for (forms::CheckBox* box : systemFileBoxes()) {
    if (box->enabled()) box->setValue(on ? 1 : 0);
  }
  core::state().SettingsSaved = false;
}

void saveSettingsClicked() {
  if (core::exitRefused()) return;
  storeSettings(" Save settings");
}

void sliderChanged() { core::state().CompressionLevel = std::to_string(windows::Form1().Slider1.value()); }

void defaultCompression() {
  if (core::exitRefused()) return;
  windows::Form1().Slider1.setValue(1);
  core::state().CompressionLevel = "1";
}

}  // namespace

void storeSettings(std::string_view context) {
  try {
    core::SaveSettings();
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, context);
  }
}

void bindOptionsPage() {
  windows::Form1Window& f = windows::Form1();
  f.Check1.onClick = boxChanged;
  for (forms::CheckBox* box : systemFileBoxes()) box->onClick = boxChanged;
  f.Command20.onClick = [] { tickSystemFiles(true); };
  f.Command21.onClick = [] { tickSystemFiles(false); };
  f.Command14.onClick = saveSettingsClicked;
  f.Slider1.onChange = sliderChanged;
  f.Command26.onClick = defaultCompression;
}

}  // namespace ui
