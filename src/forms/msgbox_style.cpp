#include "forms/msgbox_style.h"

#include "forms/dialogs.h"
#include "platform/error.h"

namespace forms {

MsgBoxLayout msgBoxLayout(int style) {
  MsgBoxLayout layout;
  switch (style & 7) {
    case vbOKOnly:
      layout.buttons = {vbOK};
      layout.escapeAnswer = vbOK;
      break;
    case vbOKCancel:
      layout.buttons = {vbOK, vbCancel};
      layout.escapeAnswer = vbCancel;
      break;
    case vbAbortRetryIgnore: layout.buttons = {vbAbort, vbRetry, vbIgnore}; break;
    case vbYesNoCancel:
      layout.buttons = {vbYes, vbNo, vbCancel};
      layout.escapeAnswer = vbCancel;
      break;
    case vbYesNo: layout.buttons = {vbYes, vbNo}; break;
    case vbRetryCancel:
      layout.buttons = {vbRetry, vbCancel};
      layout.escapeAnswer = vbCancel;
      break;
    default: throw platform::RuntimeError(platform::kInvalidCall);
  }
  switch (style & 0x70) {
    case vbCritical: layout.icon = MsgIcon::Critical; break;
    case vbQuestion: layout.icon = MsgIcon::Question; break;
    case vbExclamation: layout.icon = MsgIcon::Exclamation; break;
    case vbInformation: layout.icon = MsgIcon::Information; break;
    default: break;
  }
  // A default button beyond the last one falls back to the first.
  std::size_t index = (style & 0x300) >> 8;
  layout.defaultAnswer = layout.buttons[index < layout.buttons.size() ? index : 0];
  layout.helpButton = (style & vbMsgBoxHelpButton) != 0;
  return layout;
}

std::string answerCaption(int answer) {
  switch (answer) {
    case vbOK: return "OK";
    case vbCancel: return "Cancel";
    case vbAbort: return "&Abort";
    case vbRetry: return "&Retry";
    case vbIgnore: return "&Ignore";
    case vbYes: return "&Yes";
    case vbNo: return "&No";
    default: return {};
  }
}

std::string promptLines(const std::string& prompt) {
  std::string out;
  out.reserve(prompt.size());
  for (std::size_t i = 0; i < prompt.size(); ++i) {
    if (prompt[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < prompt.size() && prompt[i + 1] == '\n') ++i;
    } else {
      out.push_back(prompt[i]);
    }
  }
  return out;
}

}  // namespace forms
