#pragma once
// For test executables only (forms itself does not use GoogleTest): failures
// of the scripted dialogs become test failures, and a fixture that installs
// fresh scripted dialogs for each test and checks that all were shown.
#include <gtest/gtest.h>

#include "forms/scripted_dialogs.h"

namespace forms {

inline void reportScriptedDialogsToGtest() {
  ScriptedDialogs::setFailureReporter([](const std::string& message) { ADD_FAILURE() << message; });
}

class ScriptedDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reportScriptedDialogsToGtest();
    dialogs_ = &ScriptedDialogs::install();
  }
  void TearDown() override {
    dialogs_->verify();
    setDialogService(nullptr);
  }
  ScriptedDialogs& dialogs() { return *dialogs_; }

 private:
  ScriptedDialogs* dialogs_ = nullptr;
};

}  // namespace forms
