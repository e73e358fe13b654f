#pragma once
// Moving a file onto removable disks: whole when it fits on the disk in the
// drive, otherwise as numbered parts, one per disk (PartFileName), asking for
// each further disk, checking it and labelling it with the next number of the
// set (NextVolumeLabel). Before a whole file or a part is written, the disk's
// stale copies of the same file (the whole name, or its parts from the part
// being written on) are deleted, so a reused disk never hands back an old part.
//
// Shared state (state()): PartNo (0 whole, else the parts written), DiskNo
// (the disk now in the drive), SpanTargetRoot (the drive root that receives
// the parts; the caller sets it), AnimateShown, and the copy state.
#include <cstdint>
#include <string>

namespace core {

// Moves `source` into `targetFolder` (a folder ending in "\", the root of the
// removable drive). `prompt` is shown when the first further disk is needed;
// "" means "Please insert Disk No. <n> now!". True when the copy completed: the
// source is then gone and PartNo tells how it went. False when the copy failed
// or the user gave up: the source is kept, PartNo is 0, the partial part or
// file on the disk in the drive is deleted. Errors never reach the caller.
bool MoveFileToDisk(const std::string& source, const std::string& targetFolder, std::string prompt);

// Writes `source` as the parts of `target`, the first onto the disk in the
// drive, which has `freeBytes` free; `freeBytes` receives the free space of the
// last disk. `prompt` is cleared once shown. True when every part is written.
bool SplitFileToDisks(const std::string& source, const std::string& target, std::int32_t& freeBytes,
                      std::string& prompt);

// Copies one file whole in blocks, replacing `target`. True when complete;
// otherwise the partial target is deleted after a message.
bool CopyFileWhole(const std::string& source, const std::string& target);

// Bytes per cluster of a drive ("A:", "A:\" ...), or -1 after a message when
// they cannot be found. The current drive stays as it was.
std::int64_t GetDriveAllocUnit(std::string drive);

// `size` rounded up to whole clusters of the drive of `path`; unchanged when
// the drive's cluster size cannot be found.
std::int64_t RoundToAllocUnit(std::int64_t size, const std::string& path);

}  // namespace core
