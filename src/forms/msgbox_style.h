#pragma once
// What a MsgBox style number asks for: buttons, icon, default button, help.
#include <string>
#include <vector>

namespace forms {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };

struct MsgBoxLayout {
  std::vector<int> buttons;  // the answers (vbOK ...) in screen order
  MsgIcon icon = MsgIcon::None;
  int defaultAnswer = 0;  // one of `buttons`
  int escapeAnswer = 0;   // the answer of Escape and the close box, 0 when the box has none
  bool helpButton = false;
};

// Unknown button groups raise 5, as the runtime does.
MsgBoxLayout msgBoxLayout(int style);
// The caption of an answer's button ("OK", "&Yes" ...).
std::string answerCaption(int answer);
// The prompt as shown: CR LF, CR and LF each one line break.
std::string promptLines(const std::string& prompt);

}  // namespace forms
