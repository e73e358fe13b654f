#pragma once
// Help: our stand-in for the program's help file and its secondary window
// "Sub". Topics are compiled in as ":/kelvaran/help/<context id>.html" with
// their titles in ":/kelvaran/help/index.txt".
#include <string>
#include <string_view>

namespace forms {

// Opens (or raises) the help window at the topic of `contextId`; 0 shows the contents.
void showHelp(int contextId);
// The topic the help window shows: -1 while it is closed, 0 for the contents.
int shownHelpTopic();
void closeHelp();
// F1 in a window of the runtime opens the topic of that window's help context.
void installHelpKey();
// SendKeys with the one key string the program sends, "{F1}": help for the
// active window, processed before the call returns. Other strings raise 5.
void sendKeys(std::string_view keys, bool wait = true);
// The topic title from the index ("" when the topic is not listed).
std::string helpTopicTitle(int contextId);

}  // namespace forms
