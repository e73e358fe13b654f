#pragma once
// The texts of the main window and of the windows it names, from the message
// table (Form1.LoadRes).

namespace ui {

// Every caption, tab caption, tooltip and the status text, in one straight
// sequence: creates RestoreReq, Wizzard, SelWiz and FrmSmartSave hidden (in
// that order), leaves Form1 on its Save page and the splash bar at 30. Tabs
// are selected with events held, so the tab switch does not run.
void LoadRes();

// SelWiz gives itself its caption on every load (it is loaded anew for each
// snapshot, so a caption set once would be lost after the first).
void bindSelWiz();

}  // namespace ui
