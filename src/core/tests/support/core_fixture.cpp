#include "core/tests/support/core_fixture.h"

#include "core/state.h"
#include "forms/app.h"
#include "forms/forms.h"
#include "forms/scripted_dialogs_gtest.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/vb_datetime.h"

namespace coretest {

CoreTest::CoreTest() : machine(std::make_unique<testsupport::TestMachine>()) {
  core::resetState();
  // Every test starts from the windows' designer values.
  const auto loaded = forms::loadedForms();
  for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) (*it)->unload();
  forms::setAppPath(kProgramFolder);
  platform::vb::setClock([] { return platform::DateTime{2026, 12, 9, 14, 35, 12}; });
  forms::reportScriptedDialogsToGtest();
  dialogs = &forms::ScriptedDialogs::install();
  platform::chDrive('C');
  platform::chDir("C:\\");
}

CoreTest::~CoreTest() {
  dialogs->verify();
  platform::vb::setClock({});
  platform::resetRegistry();
}

}  // namespace coretest
