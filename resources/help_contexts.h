#pragma once
// Help context ids of the windows and pages. F1 opens the topic of the active
// window's context: the compiled-in page ":/kelvaran/help/<id>.html", whose
// title is also listed in ":/kelvaran/help/index.txt".
#include <array>

namespace resources {

// Main window, one per page (set by the tab switch).
inline constexpr int kHelpSavePage = 1010;
inline constexpr int kHelpRestorePage = 1020;
inline constexpr int kHelpOptionsPage = 1050;
inline constexpr int kHelpToolsPage = 1060;
inline constexpr int kHelpMaintenancePage = 1070;
inline constexpr int kHelpInfoPage = 2020;

// Dialogs.
inline constexpr int kHelpRestoreSelection = 1030;  // RestoreReq
inline constexpr int kHelpRescueWizard = 1040;      // Wizzard
inline constexpr int kHelpFileSearch = 2030;        // AddUser
inline constexpr int kHelpDiskNotEmpty = 2040;      // frmNotEmpty
inline constexpr int kHelpImport = 2050;            // Import
inline constexpr int kHelpUserFiles = 2070;         // UserFiles

// The save engine's "user file not found" message box (its Help button).
inline constexpr int kHelpUserFileNotFound = 2010;

inline constexpr std::array kAllHelpContexts{
    kHelpSavePage,     kHelpRestorePage,     kHelpRestoreSelection, kHelpRescueWizard, kHelpOptionsPage,
    kHelpToolsPage,    kHelpMaintenancePage, kHelpUserFileNotFound, kHelpInfoPage,     kHelpFileSearch,
    kHelpDiskNotEmpty, kHelpImport,          kHelpUserFiles,
};

}  // namespace resources
