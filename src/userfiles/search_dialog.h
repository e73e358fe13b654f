#pragma once
// The search criteria dialog: a file type and a folder, each with its
// history, and whether sub-folders are searched. The user-files dialog's
// Search button shows it and minimises itself; OK saves the history, runs the
// search window and puts the user-files dialog back, as Cancel and the close
// box do. While a search runs the dialog takes no clicks.
namespace userfiles {

void bindSearchDialog();

}  // namespace userfiles
