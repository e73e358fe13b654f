#include "core/status_bar.h"

#include "windows/form1.h"

namespace core {

void setStatus(std::string_view text) { windows::Form1().StatusBar1.setSimpleText(text); }

}  // namespace core
