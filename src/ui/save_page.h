#pragma once
// The Save page of the main window: the five slot buttons Option1 .. Option5,
// the description Text1 and the Save button Command1, which checks the
// description and the slot and hands the save to the save engine.
#include <functional>
#include <string_view>

namespace ui {

// The message that refuses a description, 0 when it is accepted: 1504 for an
// empty one or a free slot's name ("available" in this table or "verfuegbar"),
// 1031 for one holding a blank, a double quote or a control character (it is
// stored as an INI value and shown in the slot lists).
int descriptionRefusal(std::string_view description);

// The slot (0..4) whose option button is checked; 0 when none is.
int checkedSlot();

// The engine the Save button calls (save::SaveConfiguration); tests swap it,
// an empty function puts the real one back.
void setSaveEngine(std::function<void()> engine);

void bindSavePage();

}  // namespace ui
