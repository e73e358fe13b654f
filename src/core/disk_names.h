#pragma once
// Names on removable disks: the parts of a file spread over disks and the
// volume labels that number the disks of a set.
#include <optional>
#include <string>
#include <string_view>

namespace core {

// Part k of a file named `target`: the name with its last character replaced
// by k in decimal ("A:\Conf1.kvz", 10 -> "A:\Conf1.kv10").
std::string PartFileName(std::string_view target, int part);

// The whole number a text ends in ("Save#19" -> 19), nullopt when it ends in
// no digit (or the number is too large to be a disk number).
std::optional<int> TrailingNumber(std::string_view text);

// The label of the next disk of a set: the trailing number plus one
// ("Save#9" -> "Save#10"); nullopt when the label ends in no number.
std::optional<std::string> NextVolumeLabel(std::string_view label);

// Whether a file called `name` on a disk is a stale copy of the file `target`
// (a name or path; only its file name counts) that must go before part
// `fromPart` (1 = before the whole file or its first part) is written: the
// whole name itself, or any part numbered `fromPart` or higher. Case does not
// matter.
bool IsStaleCopy(std::string_view name, std::string_view target, int fromPart);

}  // namespace core
