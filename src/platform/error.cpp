#include "platform/error.h"

namespace platform {

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error(description.empty() ? errorText(number) : description),
      number_(number),
      description_(description.empty() ? errorText(number) : std::move(description)) {}

std::string errorText(int number) {
  switch (number) {
    case kInvalidCall: return "Invalid procedure call or argument";
    case kOverflow: return "Overflow";
    case kOutOfMemory: return "Out of memory";
    case kSubscriptOutOfRange: return "Subscript out of range";
    case kTypeMismatch: return "Type mismatch";
    case kBadFileNameOrNumber: return "Bad file name or number";
    case kFileNotFound: return "File not found";
    case kBadFileMode: return "Bad file mode";
    case kFileAlreadyOpen: return "File already open";
    case kDeviceIoError: return "Device I/O error";
    case kFileAlreadyExists: return "File already exists";
    case kDiskFull: return "Disk full";
    case kInputPastEnd: return "Input past end of file";
    case kTooManyFiles: return "Too many files";
    case kDeviceUnavailable: return "Device unavailable";
    case kPermissionDenied: return "Permission denied";
    case kDiskNotReady: return "Disk not ready";
    case kPathFileAccess: return "Path/File access error";
    case kPathNotFound: return "Path not found";
    default: return "Application-defined or object-defined error";
  }
}

void raise(int number) { throw RuntimeError(number); }

}  // namespace platform
