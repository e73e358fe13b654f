#pragma once
// The description file of version 1.2x: Config<n>.ini under today's name, but
// a sequential text file without sections, read field by field (a field ends
// at a comma or a line end; one in double quotes may hold commas). Only
// imports read it; nothing writes it.
//
// Fields in file order: 1 the description, 2 the Windows folder of the
// machine that saved it, 3 the save folder, 4..51 twenty-four pairs (saved
// flag as a whole number, enabled flag as a Boolean text) in the order of
// kLegacyPairs, 52 the favorites folder ("" = none), 53 the Netscape folder
// ("" = none), 54 a further path (unused), 55 the Start menu folder ("None" =
// none), 56 on the user-defined files, up to the end of the file.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "windows/restorereq.h"

namespace restore {

// The restore dialog's box of each pair, in file order. The format has no
// Classes.dat pair, so Check25 gets nothing from it.
using RestoreBox = forms::CheckBox windows::RestoreReqWindow::*;
struct LegacyPairRow {
  const char* item;
  RestoreBox box;
};
extern const std::array<LegacyPairRow, 24> kLegacyPairs;

struct LegacyPair {
  std::int16_t saved = 0;
  bool enabled = false;
};

// What a read took from the file, as far as it got: a field that was not
// reached stays unset. Folders in fields 3 get their trailing "\".
struct LegacyDescription {
  std::optional<std::string> name;
  std::optional<std::string> systemPath;
  std::optional<std::string> saveFolder;
  std::vector<LegacyPair> pairs;         // kLegacyPairs order, as many as were read
  std::optional<std::string> favorites;  // field 52, "" = none
  std::optional<std::string> netscape;   // field 53, "" = none
  std::optional<std::string> startMenu;  // field 55 unless it is "None"
  std::vector<std::string> userFiles;    // fields 56 on; an old list cannot be restored
  // 0 when the file was read through; otherwise the run-time error that
  // stopped the read (53 for a file that cannot be opened, 62 for one that
  // ends before field 55, 13 for a flag that is not a number or a Boolean).
  int error = 0;

  bool complete() const { return error == 0; }
};

// Reads the file at `path`; never raises (a failure is reported in `error`).
LegacyDescription readLegacyDescription(std::string_view path);

// The first field of a file, as the import folder listing shows an old
// description: "" for an empty or unreadable file.
std::string legacyDescriptionName(std::string_view path);

}  // namespace restore
