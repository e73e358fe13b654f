#pragma once
// The block copy shared by the removable-disk routines: state().BytesToCopy
// bytes from the source's current position to the target's, in blocks of
// state().BufSize bytes (64512, the last block shrunk to what remains) with
// state().CopyBuf taken for each, with state().CopyStep telling the caller's
// handler which statement failed (2 reading, 3 writing, 4 out of memory).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/files.h"

namespace core {

inline constexpr std::int32_t kCopyBlockSize = 64512;
inline constexpr std::int32_t kMinCopyBlockSize = 4096;

// What a copy's handler decides about a statement that failed.
enum class CopyChoice { Retry, GiveUp };
using CopyErrorHandler = std::function<CopyChoice(const platform::RuntimeError&)>;

struct BlockCopyOptions {
  bool yieldAfterBlock = true;  // DoEvents after each block
  bool countBytesLeft = false;  // also subtract each block from state().BytesLeft
};

// Copies state().BytesToCopy bytes. A failed statement goes to `onError`:
// Retry runs it again (a block is read or written again from its start), GiveUp
// ends the copy with false. An out-of-memory error halves BufSize and moves the
// block again while BufSize stays at least 4096; below that CopyStep is 4 and
// `onError` decides.
bool CopyBlocks(platform::File& source, platform::File& target, const CopyErrorHandler& onError,
                BlockCopyOptions options = {});

// The whole copy behind CopyFileWhole and the join: state().BytesToCopy bytes
// (the caller measured the source) into `target`, created afresh. When it does
// not complete, a target it created is deleted again.
bool TransferWholeFile(const std::string& source, const std::string& target, const CopyErrorHandler& onError);

// The whole copy's handler: the critical box of WholeCopyErrorText (title
// message 1005), then the copy ends.
CopyErrorHandler WholeCopyReport(const std::string& source);

// Runs one statement under a handler: Retry runs it again, GiveUp answers false.
bool RunStatement(const std::function<void()>& statement, const CopyErrorHandler& onError);

bool IsOutOfMemory(const platform::RuntimeError& error);

// The stand-in for memory pressure (tests): a copy buffer larger than `bytes`
// cannot be had and fails as out of memory; 0 lifts the limit.
void SetCopyMemoryLimit(std::int32_t bytes);

// Texts of the copy procedures' error boxes (fixed texts, shown as they stand).
// Whole copy: S & CR & path [& CR & "Zu wenig Speicher frei"] & " " & Str(error) & " ConcatSplitFile".
std::string WholeCopyErrorText(int step, std::string_view path, int error);
// Appending a part: as the whole copy, but without the CR between S and the part's name.
std::string AppendPartErrorText(int step, std::string_view partName, int error);
// Split copy: the runtime's text & "resCANTOPEN " & CR & source, and so on by step.
std::string SplitErrorText(int step, std::string_view source, int error);
// MoveFileToDisk's own errors: the message for the error number & " " & Str(error) & " Kopiere Datei".
std::string MoveErrorText(int error);

// Deletes a file even when it is read-only, hidden or system; nothing when it
// is missing. Errors are raised.
void DeleteFileForced(const std::string& path);
// The same for a clean-up after a failure: an error is swallowed.
void DeleteFileQuietly(const std::string& path);

}  // namespace core
