// App.PrevInstance: one running instance per machine.
#include <optional>

#include "forms/app.h"
#include "forms/instance_lock.h"
#include "platform/machine.h"

namespace forms {
namespace {

struct InstanceState {
  std::optional<std::filesystem::path> lockFolder;
  std::optional<bool> prevInstance;
  InstanceLock lock;
};

InstanceState& state() {
  static InstanceState instance;
  return instance;
}

}  // namespace

void setInstanceLockFolder(const std::filesystem::path& folder) {
  state().lockFolder = folder;
  state().prevInstance.reset();
  state().lock = InstanceLock();
}

bool prevInstance() {
  InstanceState& app = state();
  if (app.prevInstance) return *app.prevInstance;
  std::filesystem::path folder;
  if (app.lockFolder) {
    folder = *app.lockFolder;
  } else if (platform::machineOpen()) {
    folder = platform::machineRoot();
  } else {
    return false;
  }
  app.lock = InstanceLock(folder / "kelvaran.instance.lock");
  app.prevInstance = !app.lock.held();
  return *app.prevInstance;
}

}  // namespace forms
