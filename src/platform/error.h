#pragma once
// Run-time errors as the program's language runtime raises them: a number and
// its text. Every platform call that fails throws a RuntimeError; each of the
// program's procedures catches what it handles (log and go on, message, end),
// so no error crosses a procedure boundary.
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// The error numbers the layer raises.
enum ErrorNumber : int {
  kInvalidCall = 5,  // invalid procedure call or argument
  kOverflow = 6,
  kOutOfMemory = 7,
  kSubscriptOutOfRange = 9,
  kTypeMismatch = 13,
  kBadFileNameOrNumber = 52,
  kFileNotFound = 53,
  kBadFileMode = 54,
  kFileAlreadyOpen = 55,
  kDeviceIoError = 57,
  kFileAlreadyExists = 58,
  kDiskFull = 61,
  kInputPastEnd = 62,
  kTooManyFiles = 67,
  kDeviceUnavailable = 68,
  kPermissionDenied = 70,  // also: the medium is write-protected
  kDiskNotReady = 71,
  kPathFileAccess = 75,
  kPathNotFound = 76,
};

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(int number, std::string description = {});
  int number() const noexcept { return number_; }
  const std::string& description() const noexcept { return description_; }

 private:
  int number_;
  std::string description_;
};

// The runtime's own text for an error number ("File not found" for 53 ...).
std::string errorText(int number);

// Throws RuntimeError(number, errorText(number)).
[[noreturn]] void raise(int number);

}  // namespace platform
