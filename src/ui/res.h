#pragma once
// A text of the message table by number.
#include <string>

#include "forms/messages.h"

namespace ui {

inline std::string res(int id) { return forms::loadResString(id); }

}  // namespace ui
