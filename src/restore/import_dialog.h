#pragma once
// The Import dialog: the configurations of another folder (List1, filled by
// the main window's Import button, with the folder in Label4). Restore reads
// the chosen one and restores it; Contents shows what it holds; Cancel closes.
// An import never changes this machine's own state: the save folder, the
// current slot, the slot names and the settings file are as before once it
// is over.

namespace restore {

void bindImport();

}  // namespace restore
