#include "save/smartsave_controls.h"

#include <optional>
#include <string>

#include "forms/dialogs.h"
#include "forms/forms.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "save/save_engine.h"
#include "save/smartsave_run.h"
#include "save/smartsave_state.h"
#include "windows/form1.h"

namespace save {
namespace {

constexpr int kUserDefined = 4;
constexpr const char* kDayCounts[] = {"0", "1", "7", "30"};

bool usableAnswer(const std::optional<std::string>& answer) {
  return answer && !answer->empty() &&
         answer->find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

// The interval the combo last stood on, to put it back on when a choice
// comes while an operation runs.
int g_lastInterval = -1;

void intervalChosen() {
  windows::Form1Window& f = windows::Form1();
  if (OperationRunning()) {
    if (g_lastInterval >= 0) {
      forms::HoldEvents held;
      f.Combo1.setListIndex(g_lastInterval);
    }
    return;
  }
  g_lastInterval = f.Combo1.listIndex();
  // Any run-time error ends the handler, without a message.
  try {
    const int index = f.Combo1.listIndex();
    if (index >= 0 && index < kUserDefined) {
      f.Text3.setText(kDayCounts[index]);
    } else if (index == kUserDefined && f.visible()) {
      const std::optional<std::string> days = forms::inputBox(forms::loadResString(1226));
      if (usableAnswer(days)) f.Text3.setText(*days);
    }
    if (!SmartSaveFileHeld()) WriteSmartSaveFile(CurrentSmartSaveValues());
  } catch (const platform::RuntimeError&) {
  }
}

void daysClicked() {
  if (OperationRunning()) return;
  try {
    SelectInterval(1);
    SelectInterval(kUserDefined);
  } catch (const platform::RuntimeError&) {
  }
}

}  // namespace

void bindSmartSave() {
  windows::Form1Window& f = windows::Form1();
  f.Combo1.onClick = intervalChosen;
  f.Text3.onClick = daysClicked;
  bindSmartSaveWindow();
}

}  // namespace save
