#pragma once
// SmartSave tests on a demo machine: the save fixture, the SmartSave window's
// and the schedule controls' handlers, a recorded program end, a countdown of
// one-millisecond ticks and no closing pause.
#include <string>
#include <string_view>
#include <vector>

#include "core/startup.h"
#include "core/state.h"
#include "save/smartsave_controls.h"
#include "save/smartsave_run.h"
#include "save/smartsave_state.h"
#include "support/save_fixture.h"
#include "windows/form1.h"

namespace smartsavetest {

using savetest::kProgram;
inline const std::string kSmartSv = kProgram + "SmartSv.ini";
inline const std::string kSmartGo = kProgram + "Smart.go";
inline const std::string kSmartSav = kProgram + "SmartSav\\";

// Lines joined with CR LF, each ended by one.
inline std::string crlfLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

class SmartSaveTest : public savetest::SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    save::bindSmartSave();
    core::setProgramEnd([this] { ++ends; });
    save::setSmartSaveTimings(1, 0);
    save::setSmartSaveSleep([this](int ms) { pauses.push_back(ms); });
    windows::Form1().hide();
  }
  void TearDown() override {
    core::setProgramEnd(nullptr);
    save::setSmartSaveSleep(nullptr);
    save::setSmartSaveTimings(1500, 3000);
    SaveTest::TearDown();
  }

  void writeSmartSv(const std::vector<std::string>& lines) { machine().write(kSmartSv, crlfLines(lines)); }
  std::string smartSv() const { return content(kSmartSv); }
  void putMarker() { machine().write(kSmartGo, ""); }
  bool markerPresent() { return machine().exists(kSmartGo); }
  std::vector<std::string> rows() const {
    std::vector<std::string> texts;
    auto& list = windows::Form1().List1;
    for (int i = 0; i < list.listCount(); ++i) texts.push_back(list.list(i));
    return texts;
  }

  int ends = 0;
  std::vector<int> pauses;
};

}  // namespace smartsavetest
