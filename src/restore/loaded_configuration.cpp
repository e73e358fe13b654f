#include "restore/loaded_configuration.h"

namespace restore {

LoadedConfiguration& loadedConfiguration() {
  static LoadedConfiguration loaded;
  return loaded;
}

void clearLoadedConfiguration() { loadedConfiguration() = LoadedConfiguration{}; }

}  // namespace restore
