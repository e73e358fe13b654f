#pragma once
// A lock file held for the life of the process (flock): a second holder is
// refused while the first process lives, and the lock dies with it.
#include <filesystem>

namespace forms {

class InstanceLock {
 public:
  InstanceLock() = default;
  explicit InstanceLock(const std::filesystem::path& file);  // tries to take it
  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace forms
