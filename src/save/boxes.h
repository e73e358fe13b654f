#pragma once
// The selection boxes by number: Form1.Check<n> (1 to 17) and UserFiles.Check<n>.
#include "forms/forms.h"

namespace save {

forms::CheckBox& Form1Box(int number);
forms::CheckBox& UserFilesBox(int number);  // 1 to 6, 11 and 12
// Ticked (Value not 0) and enabled.
bool Chosen(const forms::CheckBox& box);

}  // namespace save
