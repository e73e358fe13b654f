#include "ui/options_page.h"

#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/settings.h"
#include "core/state.h"
#include "forms/forms.h"
#include "platform/error.h"
#include "save/save_engine.h"
#include "ui/form1_frame.h"
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

// The boxes are read all through a save: while one runs, a click is taken back.
void boxChanged(forms::CheckBox& box) {
  if (save::OperationRunning()) {
    forms::HoldEvents held;
    box.setValue(box.value() == 0 ? 1 : 0);
    return;
  }
  windows::Form1().Command14.setEnabled(true);
  core::state().SettingsSaved = false;
}

// All and None: a disabled box (a file this machine lacks) keeps its state.
void tickSystemFiles(bool on) {
  if (save::OperationRunning()) return;
  for (forms::CheckBox* box : systemFileBoxes()) {
    if (box->enabled()) box->setValue(on ? 1 : 0);
  }
  core::state().SettingsSaved = false;
}

void saveSettingsClicked() {
  if (save::OperationRunning()) return;
  storeSettings(" Save settings");
}

// The level is read by every archive run of a save: while one runs, the
// slider goes back to the level in use.
void sliderChanged() {
  forms::Slider& slider = windows::Form1().Slider1;
  core::State& st = core::state();
  if (save::OperationRunning()) {
    forms::HoldEvents held;
    try {
      slider.setValue(std::stoi(st.CompressionLevel.empty() ? std::string("1") : st.CompressionLevel));
    } catch (const std::exception&) {
    }
    return;
  }
  st.CompressionLevel = std::to_string(slider.value());
}

void defaultCompression() {
  if (save::OperationRunning()) return;
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
  f.Check1.onClick = [&f] { boxChanged(f.Check1); };
  for (forms::CheckBox* box : systemFileBoxes()) box->onClick = [box] { boxChanged(*box); };
  f.Command20.onClick = [] { tickSystemFiles(true); };
  f.Command21.onClick = [] { tickSystemFiles(false); };
  f.Command14.onClick = saveSettingsClicked;
  f.Slider1.onChange = sliderChanged;
  f.Command26.onClick = defaultCompression;
}

}  // namespace ui
