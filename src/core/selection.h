#pragma once
// The selection boxes and the keys that name them in the settings file.
#include <array>

#include "windows/form1.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace core {

template <typename Window>
struct BoxKey {
  const char* key;
  forms::CheckBox Window::*box;
};

// [SystemFiles] of the settings file, in writing order.
inline constexpr std::array<BoxKey<windows::Form1Window>, 17> kSystemFileBoxes{{
    {"Autoexec.bat", &windows::Form1Window::Check8},
    {"Config.sys", &windows::Form1Window::Check9},
    {"Control.ini", &windows::Form1Window::Check4},
    {"MsDos.sys", &windows::Form1Window::Check10},
    {"Protocol.ini", &windows::Form1Window::Check5},
    {"System.dat", &windows::Form1Window::Check7},
    {"Classes.dat", &windows::Form1Window::Check11},
    {"System.ini", &windows::Form1Window::Check3},
    {"User.dat", &windows::Form1Window::Check6},
    {"Win.ini", &windows::Form1Window::Check2},
    {"Autoexec.dos", &windows::Form1Window::Check13},
    {"Config.dos", &windows::Form1Window::Check14},
    {"DblSpace.ini", &windows::Form1Window::Check15},
    {"DrvSpace.ini", &windows::Form1Window::Check16},
    {"DrvSpace.bin", &windows::Form1Window::Check17},
    {"StartMenue", &windows::Form1Window::Check1},
    {"DblSpace.bin", &windows::Form1Window::Check12},
}};

// [UserFiles] box keys, in writing order (MSEIdentiteis and NSCMailUser
// stand between NSCMail and NSCNews).
inline constexpr std::array<BoxKey<windows::UserFilesWindow>, 8> kUserFileBoxes{{
    {"NSCBookmark", &windows::UserFilesWindow::Check11},
    {"MSEFavorites", &windows::UserFilesWindow::Check12},
    {"MSEAdressbook", &windows::UserFilesWindow::Check1},
    {"MSECookies", &windows::UserFilesWindow::Check2},
    {"MSEMail", &windows::UserFilesWindow::Check3},
    {"NSCCookies", &windows::UserFilesWindow::Check4},
    {"NSCMail", &windows::UserFilesWindow::Check5},
    {"NSCNews", &windows::UserFilesWindow::Check6},
}};

// Restore-dialog boxes enabled from the settings file: section, key, box.
struct RestoreBoxKey {
  const char* section;
  const char* key;
  forms::CheckBox windows::RestoreReqWindow::*box;
};
inline constexpr std::array<RestoreBoxKey, 24> kRestoreBoxes{{
    {"SystemFiles", "Autoexec.bat", &windows::RestoreReqWindow::Check1},
    {"SystemFiles", "Config.sys", &windows::RestoreReqWindow::Check2},
    {"SystemFiles", "Control.ini", &windows::RestoreReqWindow::Check3},
    {"SystemFiles", "MsDos.sys", &windows::RestoreReqWindow::Check4},
    {"SystemFiles", "Protocol.ini", &windows::RestoreReqWindow::Check5},
    {"SystemFiles", "System.dat", &windows::RestoreReqWindow::Check6},
    {"SystemFiles", "Classes.dat", &windows::RestoreReqWindow::Check25},
    {"SystemFiles", "System.ini", &windows::RestoreReqWindow::Check7},
    {"SystemFiles", "User.dat", &windows::RestoreReqWindow::Check8},
    {"SystemFiles", "Win.ini", &windows::RestoreReqWindow::Check9},
    {"UserFiles", "NSCBookmark", &windows::RestoreReqWindow::Check10},
    {"UserFiles", "MSEFavorites", &windows::RestoreReqWindow::Check11},
    {"SystemFiles", "Autoexec.dos", &windows::RestoreReqWindow::Check12},
    {"SystemFiles", "Config.dos", &windows::RestoreReqWindow::Check13},
    {"SystemFiles", "DblSpace.ini", &windows::RestoreReqWindow::Check14},
    {"SystemFiles", "DrvSpace.ini", &windows::RestoreReqWindow::Check15},
    {"SystemFiles", "DrvSpace.bin", &windows::RestoreReqWindow::Check16},
    {"SystemFiles", "StartMenue", &windows::RestoreReqWindow::Check20},
    {"UserFiles", "NSCNews", &windows::RestoreReqWindow::Check17},
    {"UserFiles", "MSEAdressbook", &windows::RestoreReqWindow::Check18},
    {"UserFiles", "MSECookies", &windows::RestoreReqWindow::Check19},
    {"UserFiles", "MSEMail", &windows::RestoreReqWindow::Check21},
    {"UserFiles", "NSCCookies", &windows::RestoreReqWindow::Check22},
    {"UserFiles", "NSCMail", &windows::RestoreReqWindow::Check23},
}};

}  // namespace core
