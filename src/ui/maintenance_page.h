#pragma once
// The buttons of the main window that start one action each: on the
// Maintenance page the delete list (List3) with Delete and the web update; on
// the Info page Copyright; on the Options page Select... (the user-files
// dialog); on the Tools page the Rescue Disk Wizard.
#include <string>
#include <vector>

namespace ui {

// The page this build's web update opens: the update folder of the program's
// site, the build label and ".htm".
std::string webUpdateAddress(const std::string& buildLabel);

// The files Delete removes for slot n from `folder` (with its trailing "\"),
// in the order they are removed.
std::vector<std::string> slotFiles(const std::string& folder, int n);

void bindMaintenancePage();

}  // namespace ui
