#pragma once
// The program-wide state shared by the engines: one object, reached through
// core::state() everywhere. Names and value forms are the program's own:
// folders said to end with "\" always do (SaveFolder & "Config1.ini"), the
// Windows folder SystemPath never does (SystemPath & "\win.ini").
//
// Slots: on screen and in file names a slot is n = 1..5; in memory the current
// slot is CurrentConfig = 0..4 and the per-slot arrays have the elements 1..5
// only (element CurrentConfig + 1 is the current slot; any other index raises
// error 9).
#include <cstdint>
#include <string>
#include <vector>

#include "core/system.h"
#include "core/varray.h"

namespace core {

using SlotTexts = VArray<std::string, 1, 5>;

// The folders found on this machine. A configuration loaded for a restore or
// an import points the working values of State at the saved machine; these
// stay the machine's own (the settings file is written from them).
struct MachinePaths {
  std::string SystemPath;      // Windows folder, 8.3 form, no trailing "\"
  std::string PathStartmenue;  // trailing "\"
  std::string PathFavorites;   // trailing "\"
  std::string PathNetscape;    // Netscape profile folder, "" = no Netscape
};

struct State {
  // ---- per-slot table (elements 1..5) --------------------------------------
  SlotTexts ConfigNames;  // description; message 1010 "available" = free slot
  SlotTexts ConfigDates;  // TodayDate of the last save, "00/00/0000" never saved
  SlotTexts ConfigTimes;  // "hh:mm:ss" of the last save, "00:00" never saved
  SlotTexts ConfigOSV;    // OS text of the machine that saved the slot

  // ---- slot selection and counters -----------------------------------------
  std::uint8_t CurrentConfig = 0;  // 0..4
  std::uint8_t DeleteIndex = 0;    // 0..4
  std::int16_t SmartSaveSlot = 0;  // 0..3
  std::uint8_t PartNo = 0;         // parts of the last disk copy, 0 = whole
  std::uint8_t DiskNo = 0;         // current disk of a disk set
  float RestoreState = 0;          // 0 go on, 3 declined (OS differs)

  // ---- folders and files ---------------------------------------------------
  std::string SystemPath;  // working Windows folder, no trailing "\"
  std::string TempDir;     // trailing "\"
  std::string SaveFolder;  // trailing "\"
  std::string SaveFolderBackup;
  std::string SpanTargetRoot;    // "A:\" while spanning, else ""
  std::string ImportSaveFolder;  // trailing "\"
  std::string DiskRestorePath;   // App.Path & "\DiskRestore\" or ""
  std::string IniPath;           // program-folder copy of the description
  std::string ConfigIniPath;     // SaveFolder & "Config<n>.ini"
  std::string UserIniPath;       // TempDir & "kelvaran\User\User.ini"
  std::string SettingsIniPath;   // App.Path & "\kelvaran.ini"
  std::string UserFilesIniPath;  // App.Path & "\UserFiles.ini"
  std::string SearchFolder;      // trailing "\"
  std::string LastSmartSaveDate;

  // ---- machine paths (working values; see MachinePaths) --------------------
  std::string PathStartmenue;
  std::string PathFavorites;
  std::string CookiesDir;
  std::string AddressBookFile;
  std::string OEMailDir;
  std::string NetscapeUsersDir;
  std::string PathNetscape;
  MachinePaths machine;  // this machine's own values

  // ---- save parameters and command lines ------------------------------------
  std::string ConfigDescription;
  std::string CompressionLevel;  // "0".."9"
  std::string CommandLine;
  std::string ShellCommand;
  std::string TodayDate;  // " 9/12/2026": day with its sign blank, set once

  // ---- run flags -----------------------------------------------------------
  bool SettingsSaved = false;
  bool RestorePending = false;
  bool SaveSucceeded = false;
  bool ImportMode = false;
  bool SmartSaveRunning = false;
  bool NoSaveOnExit = false;
  bool AnimateShown = false;
  bool RestoreDone = false;
  bool RebootNeeded = false;
  bool RestoreLeftOut = false;  // a chosen file or group of the restore was not put back
  bool DiskJobRunning = false;  // the rescue wizard writes a disk

  // ---- copy state of the removable-disk routines ---------------------------
  std::int16_t SrcFileNo = 0;
  std::int16_t DstFileNo = 0;
  std::int16_t CopyStep = 0;  // 1 open, 2 read, 3 write, 4 out of memory
  std::int32_t BytesToCopy = 0;
  std::int32_t BytesLeft = 0;
  std::int32_t BufSize = 0;  // 64512, halved on out of memory down to 4096
  std::vector<std::uint8_t> CopyBuf;
  std::int32_t DriveTotalBytes = 0;  // at most 3,000,000 means a floppy

  // ---- split log of the loaded configuration (elements 1..10) --------------
  VArray<std::string, 1, 10> SplitFile;
  VArray<std::int16_t, 1, 10> SplitDisk;

  // ---- the one system-information object -----------------------------------
  System SysInfo;

  // Slot number of the current slot (CurrentConfig + 1).
  int currentSlot() const { return CurrentConfig + 1; }
  // Records this machine's own folders (discovery and the settings reader).
  void setMachinePaths(const MachinePaths& own);
  // Points the working folders back at this machine after a restore or an
  // import used a loaded configuration's folders.
  void useMachinePaths();
};

State& state();
// A fresh state, as at program start (tests).
void resetState();

}  // namespace core
