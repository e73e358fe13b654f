#pragma once
// Rescue disk 2, the data disk in drive A:: labelled "Data#1", it carries
// AUTOEXEC.BAT, COMMAND.COM, the DOS restore module Kvados.exe, the settings
// file kelvaran.ini, the DOS unzip program Unzip.exe and the snapshot
// Configd.kvz, whole or, when it does not fit, as Configd.kv1 here and
// Configd.kv2 ... on further disks labelled "Data#2" ...

namespace rescue {

// Writes the data disk (and its further disks) from the program folder's
// Configd.kvz; DiskNo holds this disk's number (2) and ends as the number of
// the last disk written. Only a completed copy ends with the congratulation;
// a failed or abandoned one says the disk is not usable and keeps the
// snapshot in the program folder. A failure of one of the other files ends
// the program after its message.
void MakeDataDisk();

// Puts a fresh snapshot onto the data disk in A: (one holding Configd.kvz or
// Configd.kv1), replacing its Configd.kv? files and nothing else. Another
// disk: the wrong-disk question (Retry runs the update again), then the
// first page. No readable disk: a message, and nothing else happens. A copy
// that fails keeps the new snapshot in the program folder and says so.
void UpDateDataDisk();

}  // namespace rescue
