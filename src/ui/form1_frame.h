#pragma once
// The main window's frame: load (single instance, placement, help file,
// texts, core start-up), close, the tab switch with its question about
// unsaved settings, and the Help, Exit and Readme buttons.
#include <string>

namespace ui {

// The program's name and version, the caption of the main window and the
// title of its plain message boxes.
std::string programTitle();

// What each page of the tab strip shows: its help context and status text.
struct PageInfo {
  int helpContext;
  int statusMessage;  // the Save page's depends on the description (see pageStatus)
};
PageInfo pageInfo(int tab);
// The status text of a page as the tab switch writes it.
std::string pageStatus(int tab);

// Shows page `tab`: its frame visible and the others hidden, its help
// context, its status text; the Restore page disables Restore without a
// selected configuration.
void showPage(int tab);

void bindForm1Frame();

}  // namespace ui
