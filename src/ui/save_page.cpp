#include "ui/save_page.h"

#include <string>

#include "core/inifile.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/forms.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "save/save_engine.h"
#include "windows/form1.h"

namespace ui {

using forms::res;
namespace {

constexpr int kFreeSlot = 1010;

std::function<void()>& saveEngine() {
  static std::function<void()> engine;
  return engine;
}

forms::OptionButton& slotButton(int slot) {
  windows::Form1Window& f = windows::Form1();
  forms::OptionButton* buttons[] = {&f.Option1, &f.Option2, &f.Option3, &f.Option4, &f.Option5};
  return *buttons[slot];
}

void chooseSlot(int slot) {
  windows::Form1Window& f = windows::Form1();
  core::State& st = core::state();
  // The engine reads CurrentConfig all through its run: while it runs, a
  // click puts the check back on the slot being saved.
  if (save::OperationRunning()) {
    forms::HoldEvents held;
    slotButton(st.CurrentConfig).setValue(true);
    return;
  }
  f.Command1.setEnabled(true);
  st.CurrentConfig = static_cast<std::uint8_t>(slot);
  f.Text1.setText(st.ConfigNames(slot + 1));
  if (f.Text1.text() != res(kFreeSlot)) {
    f.StatusBar1.setSimpleText(res(1503) + std::to_string(slot + 1));
  } else {
    f.Text1.setText("");
    f.StatusBar1.setSimpleText(res(1500));
  }
}

void descriptionChanged() {
  // Command1 is the window's default button by design, so Enter in the box presses it.
  windows::Form1Window& f = windows::Form1();
  f.Command1.setEnabled(!f.Text1.text().empty());
}

void refuse(int message) {
  forms::msgBox(res(message), forms::vbOKOnly + forms::vbCritical, res(1011));
  windows::Form1().Text1.setFocus();
}

// A used slot asks first; its old configuration stays until the new one is complete.
bool mayOverwrite(int slot) {
  if (windows::Form1().List2.list(slot) == res(kFreeSlot)) return true;
  return forms::msgBox(res(1140), forms::vbYesNo + forms::vbQuestion, res(1009)) == forms::vbYes;
}

void saveClicked() {
  if (save::OperationRunning()) return;
  windows::Form1Window& f = windows::Form1();
  core::State& st = core::state();
  st.SaveSucceeded = false;
  const std::string description = f.Text1.text();
  if (const int refusal = descriptionRefusal(description)) return refuse(refusal);
  // A character the code page cannot hold would be stored as "?".
  if (!f.Text1.textFitsCodePage()) return refuse(1031);
  // The slot saved is the one the page shows checked, whatever another page
  // or an import left in CurrentConfig.
  const int slot = checkedSlot();
  if (!mayOverwrite(slot)) return;

  f.Command1.setEnabled(false);
  st.CurrentConfig = static_cast<std::uint8_t>(slot);
  const int n = slot + 1;
  st.ConfigDescription = description;
  const std::string previousName = st.ConfigNames(n);
  st.ConfigNames(n) = description;
  st.IniPath = forms::appPath() + "\\Config" + std::to_string(n) + ".ini";
  st.ConfigIniPath = st.SaveFolder + "Config" + std::to_string(n) + ".ini";
  // The old description files stay until the engine commits the new set.
  try {
    if (saveEngine()) {
      saveEngine()();
    } else {
      save::SaveConfiguration();
    }
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, " Save");
    st.SaveSucceeded = false;
  }
  if (!st.SaveSucceeded) st.ConfigNames(n) = previousName;
}

}  // namespace

int descriptionRefusal(std::string_view description) {
  if (description.empty() || description == res(kFreeSlot) || description == "verfuegbar") return 1504;
  for (const char c : description) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == ' ' || c == '"' || byte < 0x20 || byte == 0x7F) return 1031;
  }
  return 0;
}

int checkedSlot() {
  for (int slot = 0; slot < 5; ++slot) {
    if (slotButton(slot).value()) return slot;
  }
  return 0;
}

void setSaveEngine(std::function<void()> engine) { saveEngine() = std::move(engine); }

void bindSavePage() {
  windows::Form1Window& f = windows::Form1();
  for (int slot = 0; slot < 5; ++slot) slotButton(slot).onClick = [slot] { chooseSlot(slot); };
  f.Text1.onChange = descriptionChanged;
  f.Command1.onClick = saveClicked;
}

}  // namespace ui
