#include "platform/replace_file.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/machine.h"

namespace platform {
namespace {

std::string driveRoot(std::string_view path) {
  const auto full = fullPath(path);
  return full.size() >= 2 && full[1] == ':' ? full.substr(0, 2) + "\\" : std::string();
}

void checkWritable(std::string_view path, std::size_t newSize) {
  if (getAttr(path) & kReadOnly) raise(kPermissionDenied);
  const auto root = driveRoot(path);
  if (root.empty()) return;
  if (isWriteProtected(root)) raise(kPermissionDenied);
  const auto oldSize = fileLen(path);
  if (static_cast<std::int64_t>(newSize) > oldSize &&
      freeBytes(root) < static_cast<std::int64_t>(newSize) - oldSize)
    raise(kDiskFull);
}

}  // namespace

void replaceFile(std::string_view path, std::string_view bytes) {
  if (!fileExists(path)) {
    writeFile(path, bytes);
    return;
  }
  checkWritable(path, bytes.size());
  const auto target = hostPath(path);
  auto temp = target;
  temp.replace_filename("." + target.filename().string() + ".kvtmp");
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      raise(kDeviceIoError);
    }
  }
  std::error_code error;
  std::filesystem::rename(temp, target, error);
  if (error) {
    std::filesystem::remove(temp, error);
    raise(kPathFileAccess);
  }
}

}  // namespace platform
