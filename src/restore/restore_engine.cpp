#include "restore/restore_engine.h"

namespace restore {

void RestoreConfiguration() {}

}  // namespace restore
