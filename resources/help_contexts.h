#pragma once
// Help context ids of the windows and pages. F1 opens the topic of the active
// window's context: the compiled-in page ":/kelvaran/help/<id>.html", whose
// title is also listed in ":/kelvaran/help/index.txt".
#include <array>

namespace resources {

// Main window, one per page (set by the tab switch).
constexpr int kHelpSavePage = 1010;
constexpr int kHelpRestorePage = 1020;
constexpr int kHelpOptionsPage = 1050;
constexpr int kHelpToolsPage = 1060;
constexpr int kHelpMaintenancePage = 1070;
constexpr int kHelpInfoPage = 2020;

// Dialogs.
constexpr int kHelpRestoreSelection = 1030;  // RestoreReq
constexpr int kHelpRescueWizard = 1040;      // Wizzard
constexpr int kHelpFileSearch = 2030;        // AddUser
constexpr int kHelpDiskNotEmpty = 2040;      // frmNotEmpty
constexpr int kHelpImport = 2050;            // Import
constexpr int kHelpUserFiles = 2070;         // UserFiles

// The save engine's "user file not found" message box (its Help button).
constexpr int kHelpUserFileNotFound = 2010;

constexpr std::array kAllHelpContexts{
    kHelpSavePage,     kHelpRestorePage,     kHelpRestoreSelection, kHelpRescueWizard, kHelpOptionsPage,
    kHelpToolsPage,    kHelpMaintenancePage, kHelpUserFileNotFound, kHelpInfoPage,     kHelpFileSearch,
    kHelpDiskNotEmpty, kHelpImport,          kHelpUserFiles,
};

}  // namespace resources
