#include "forms/compiled_resources.h"

#include <QtGlobal>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initCompiledResources() { Q_INIT_RESOURCE(resources); }

namespace forms {

void ensureCompiledResources() {
  static const bool done = (initCompiledResources(), true);
  (void)done;
}

}  // namespace forms
