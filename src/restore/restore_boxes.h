#pragma once
// The 25 boxes of the restore dialog and the description keys that name them.
#include <array>

#include "windows/restorereq.h"

namespace restore {

struct DescriptionBox {
  const char* section;  // the section of the saved flags
  const char* key;
  forms::CheckBox windows::RestoreReqWindow::*box;
};

// In the order a description is read.
inline constexpr std::array<DescriptionBox, 25> kDescriptionBoxes{{
    {"SystemFilesSaved", "Autoexec.bat", &windows::RestoreReqWindow::Check1},
    {"SystemFilesSaved", "Config.sys", &windows::RestoreReqWindow::Check2},
    {"SystemFilesSaved", "Control.ini", &windows::RestoreReqWindow::Check3},
    {"SystemFilesSaved", "Msdos.sys", &windows::RestoreReqWindow::Check4},
    {"SystemFilesSaved", "Protocol.ini", &windows::RestoreReqWindow::Check5},
    {"SystemFilesSaved", "System.dat", &windows::RestoreReqWindow::Check6},
    {"SystemFilesSaved", "Classes.dat", &windows::RestoreReqWindow::Check25},
    {"SystemFilesSaved", "System.ini", &windows::RestoreReqWindow::Check7},
    {"SystemFilesSaved", "User.dat", &windows::RestoreReqWindow::Check8},
    {"SystemFilesSaved", "Win.ini", &windows::RestoreReqWindow::Check9},
    {"SystemFilesSaved", "Autoexec.dos", &windows::RestoreReqWindow::Check12},
    {"SystemFilesSaved", "Config.dos", &windows::RestoreReqWindow::Check13},
    {"SystemFilesSaved", "Dblspace.ini", &windows::RestoreReqWindow::Check14},
    {"SystemFilesSaved", "Drvspace.ini", &windows::RestoreReqWindow::Check15},
    {"SystemFilesSaved", "Drvspace.bin", &windows::RestoreReqWindow::Check16},
    {"SystemFilesSaved", "Startmenue", &windows::RestoreReqWindow::Check20},
    {"SystemFilesSaved", "Dblspace.bin", &windows::RestoreReqWindow::Check24},
    {"UserFilesSaved", "NSCBookmark", &windows::RestoreReqWindow::Check10},
    {"UserFilesSaved", "MSEFavorites", &windows::RestoreReqWindow::Check11},
    {"UserFilesSaved", "MSEAdressbook", &windows::RestoreReqWindow::Check18},
    {"UserFilesSaved", "MSECookies", &windows::RestoreReqWindow::Check19},
    {"UserFilesSaved", "MSEMailbox", &windows::RestoreReqWindow::Check21},
    {"UserFilesSaved", "NSCCookies", &windows::RestoreReqWindow::Check22},
    {"UserFilesSaved", "NSCNews", &windows::RestoreReqWindow::Check17},
    {"UserFilesSaved", "NSCMail", &windows::RestoreReqWindow::Check23},
}};

// RestoreReq.Check<number>, 1 to 25.
forms::CheckBox& RestoreBox(int number);
// A box counts as ticked when its Value is not 0.
bool Ticked(int number);
// The sixteen boxes of the system archive.
inline constexpr std::array<int, 16> kSystemBoxes{1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 16, 24, 25};
bool SystemBoxTicked();
// At least one entry of RestoreReq.List1 is selected.
bool UserFileSelected();

}  // namespace restore
