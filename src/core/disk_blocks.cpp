#include "core/disk_blocks.h"

#include <algorithm>
#include <new>

#include "core/error_messages.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/vb_convert.h"

namespace core {
namespace {

std::int32_t g_memoryLimit = 0;

constexpr int kOutOfStringSpace = 14;

// Sizes CopyBuf to BufSize; a buffer that cannot be had raises out of memory.
void sizeBuffer() {
  auto& s = state();
  if (g_memoryLimit > 0 && s.BufSize > g_memoryLimit) platform::raise(platform::kOutOfMemory);
  try {
    s.CopyBuf.resize(static_cast<std::size_t>(s.BufSize));
  } catch (const std::bad_alloc&) {
    platform::raise(platform::kOutOfMemory);
  }
}

// Halves BufSize after an out-of-memory error; false (CopyStep 4) once it
// would drop below the smallest block.
bool halveBuffer() {
  auto& s = state();
  s.BufSize = std::max<std::int32_t>(s.BufSize / 2, 1);
  if (s.BufSize >= kMinCopyBlockSize) return true;
  s.CopyStep = 4;
  return false;
}

// One block: read it, then write it, each statement under the handler. An
// out-of-memory error anywhere moves the block again with half the buffer.
// The bytes go from file to file inside the host (the copy buffer is only
// taken, as the block's memory): the read makes sure the block is there,
// the write moves it.
enum class BlockResult { Done, GiveUp };

BlockResult copyBlock(platform::File& source, platform::File& target, const CopyErrorHandler& onError) {
  auto& s = state();
  const auto from = source.position();
  const auto to = target.position();
  for (;;) {
    try {
      if (static_cast<std::int32_t>(s.CopyBuf.size()) != s.BufSize) sizeBuffer();
      const auto count = static_cast<std::size_t>(s.BufSize);
      s.CopyStep = 2;
      const bool read = RunStatement(
          [&] {
            source.seek(from);
            if (source.size() - from < static_cast<std::int64_t>(count))
              platform::raise(platform::kDeviceIoError);
          },
          onError);
      if (!read) return BlockResult::GiveUp;
      s.CopyStep = 3;
      const bool written = RunStatement(
          [&] {
            source.seek(from);
            target.seek(to);
            target.copyFrom(source, count);
          },
          onError);
      return written ? BlockResult::Done : BlockResult::GiveUp;
    } catch (const platform::RuntimeError& error) {
      // Only out-of-memory errors get here: RunStatement handles the others.
      if (halveBuffer()) continue;
      if (onError(error) == CopyChoice::GiveUp) return BlockResult::GiveUp;
    }
  }
}

std::string wholeCopyStepText(int step) {
  switch (step) {
    case 1:
      return "Kann Datei nicht \xF6"
             "ffnen";
    case 2: return "Kann nicht von Datei Lesen";
    case 3: return "Kann nicht in Datei schreiben";
    case 4:
      return "Memory \xFC"
             "berlauf";
    default: return {};
  }
}

std::string errorTail(int step, int error) {
  return std::string(step == 3 ? "\rZu wenig Speicher frei" : "") + " " + platform::vb::str(error) +
         " ConcatSplitFile";
}

}  // namespace

bool IsOutOfMemory(const platform::RuntimeError& error) {
  return error.number() == platform::kOutOfMemory || error.number() == kOutOfStringSpace;
}

bool RunStatement(const std::function<void()>& statement, const CopyErrorHandler& onError) {
  for (;;) {
    try {
      statement();
      return true;
    } catch (const std::bad_alloc&) {
      platform::raise(platform::kOutOfMemory);
    } catch (const platform::RuntimeError& error) {
      if (IsOutOfMemory(error)) throw;
      if (onError(error) == CopyChoice::GiveUp) return false;
    }
  }
}

bool CopyBlocks(platform::File& source, platform::File& target, const CopyErrorHandler& onError,
                BlockCopyOptions options) {
  auto& s = state();
  s.BufSize = kCopyBlockSize;
  s.CopyBuf.clear();
  while (s.BytesToCopy > 0) {
    if (s.BufSize > s.BytesToCopy) s.BufSize = s.BytesToCopy;
    if (copyBlock(source, target, onError) == BlockResult::GiveUp) return false;
    s.BytesToCopy -= s.BufSize;
    if (options.countBytesLeft) s.BytesLeft -= s.BufSize;
    if (options.yieldAfterBlock) forms::doEventsThrottled();
  }
  if (options.yieldAfterBlock) forms::doEvents();
  return true;
}

bool TransferWholeFile(const std::string& source, const std::string& target,
                       const CopyErrorHandler& onError) {
  auto& s = state();
  platform::File in, out;
  bool created = false;
  s.CopyStep = 1;
  bool ok = RunStatement(
      [&] {
        in = platform::File(source, platform::File::Mode::Read);
        DeleteFileForced(target);
        out = platform::File(target, platform::File::Mode::Write);
        created = true;
      },
      onError);
  ok = ok && CopyBlocks(in, out, onError);
  in.close();
  out.close();
  if (!ok && created) DeleteFileQuietly(target);
  return ok;
}

CopyErrorHandler WholeCopyReport(const std::string& source) {
  return [source](const platform::RuntimeError& error) {
    forms::msgBox(WholeCopyErrorText(state().CopyStep, source, error.number()), forms::vbCritical,
                  forms::loadResString(1005));
    return CopyChoice::GiveUp;
  };
}

void SetCopyMemoryLimit(std::int32_t bytes) { g_memoryLimit = bytes; }

std::string WholeCopyErrorText(int step, std::string_view path, int error) {
  return wholeCopyStepText(step) + "\r" + std::string(path) + errorTail(step, error);
}

std::string AppendPartErrorText(int step, std::string_view partName, int error) {
  const std::string text = step == 2 ? "Kan nich von Datei Lesen" : wholeCopyStepText(step);
  return text + std::string(partName) + errorTail(step, error);
}

std::string SplitErrorText(int step, std::string_view source, int error) {
  const std::string b = "\r" + std::string(source);
  std::string text = platform::errorText(error);
  switch (step) {
    case 1: return text + "resCANTOPEN " + b;
    case 2: return text + "resCANTREAD " + b;
    case 3: return text + "resCANTWRITE " + b + "resCHKSPACE";
    case 4: return text + "resOUTOFMEMORY " + b;
    default: return text;
  }
}

std::string MoveErrorText(int error) {
  return FileErrorMessage(error) + " " + platform::vb::str(error) + " Kopiere Datei";
}

void DeleteFileForced(const std::string& path) {
  if (!platform::fileExists(path)) return;
  platform::setAttr(path, platform::kNormal);
  platform::kill(path);
}

void DeleteFileQuietly(const std::string& path) {
  try {
    DeleteFileForced(path);
  } catch (const platform::RuntimeError&) {
  }
}

}  // namespace core
