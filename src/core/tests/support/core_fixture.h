#pragma once
// A small machine from the demo template with the program folder
// C:\Program Files\Kelvaran, a fresh program state, freshly loaded windows,
// scripted dialogs and a fixed clock (9 December 2026, 14:35:12).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "forms/scripted_dialogs.h"
#include "support/test_machine.h"

namespace coretest {

inline constexpr const char* kProgramFolder = "C:\\Program Files\\Kelvaran";

class CoreTest : public ::testing::Test {
 protected:
  CoreTest();
  ~CoreTest() override;
  std::string program(const std::string& name) const { return std::string(kProgramFolder) + "\\" + name; }

  std::unique_ptr<testsupport::TestMachine> machine;
  forms::ScriptedDialogs* dialogs = nullptr;
};

}  // namespace coretest
