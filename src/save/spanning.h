#pragma once
// A save onto a small removable disk. The archives are built in the program
// folder and then moved over as many disks as they take, each whole or split
// into numbered parts (core::MoveFileToDisk); the disks of the set are
// labelled "Save#1", "Save#2", ... Where each archive went is recorded in the
// [SplitLog] section, which stands first in the slot's description; the
// description and its .usr twin go onto the last disk.
//
//   [SplitLog]
//   File2=C:\Program Files\Kelvaran\Conf1us.kvz
//   C:\Program Files\Kelvaran\Conf1us.kvz= 3      (" 0": whole on one disk)
//
// The slot's old configuration is not touched here: the [SplitLog] goes into
// the new description that the engine builds aside, and the engine replaces
// the program-folder copy only once the descriptions are on the disk.
#include <array>
#include <cstdint>
#include <string>

namespace save {

// A removable destination with less free room than this is spanned.
inline constexpr std::int32_t kSpanBelowFreeBytes = 1500000;

// The first disk of a removable destination: DiskNo = 1, then
// "Please insert Disk No. 1 now!" (OK, Cancel) until CheckDiskEmpty accepts
// the disk in the drive. False when the user cancels (SaveSucceeded False).
bool InsertFirstDisk();

// The spanning decision, taken after the folder checks: a SaveFolder on a
// removable drive with less than kSpanBelowFreeBytes free becomes
// SpanTargetRoot and SaveFolder the program folder (App.Path & "\"), where
// the archives are built; otherwise SpanTargetRoot is "". True when the save
// is spanned.
bool DecideSpanning();

// The archives of a slot in the order of their [SplitLog] blocks: block k
// (key "File<k>") is element k - 1. `suffix` as for ArchiveName; `caption`
// the message shown in the copy window while the archive is moved.
struct SpanArchive {
  const char* suffix;
  int caption;
};
const std::array<SpanArchive, 9>& SpanArchives();

// The [SplitLog] keys of block k: "File<k>" = `archivePath`, then
// `archivePath` = Str(parts) (" 0" whole, " 3" three parts).
void WriteSplitLogBlock(const std::string& descriptionPath, int k, const std::string& archivePath, int parts);

// Deletes a description that was begun (with its .usr twin); the archives
// beside it stay. Errors are ignored.
void DropDescription(const std::string& descriptionPath);

// One spanned save's moves onto the disks. The copy window (Animate) is shown
// by moveArchives and unloaded when the descriptions are on the disk, when
// either step fails, and at the latest when the object goes.
class DiskSpan {
 public:
  explicit DiskSpan(int slotNumber) : slot_(slotNumber) {}
  ~DiskSpan();
  DiskSpan(const DiskSpan&) = delete;
  DiskSpan& operator=(const DiskSpan&) = delete;

  // Labels the disk in the drive "Save#<DiskNo>" and moves every archive of
  // the slot found in `buildFolder` onto the disks (SpanTargetRoot), writing
  // its [SplitLog] block into `descriptionPath` once it is complete. Then
  // SaveFolder = SpanTargetRoot. False when a copy did not complete or its
  // block could not be written (the copy's message shown): the archive stays
  // in `buildFolder`, and it has no block.
  bool moveArchives(const std::string& buildFolder, const std::string& descriptionPath);

  // Puts the finished description and its .usr twin onto the disk in the
  // drive as `configIniPath` and its twin. While they do not fit (their
  // clusters plus 1000 bytes) or cannot be written, asks for another disk
  // ("Please insert Disk No. <DiskNo + 1> now!"; the disk is neither labelled
  // nor counted). False when the user cancels: nothing half-written stays on
  // the disk.
  bool placeDescriptions(const std::string& descriptionPath, const std::string& configIniPath);

 private:
  void closeWindow();

  int slot_;
  bool windowShown_ = false;
};

}  // namespace save
