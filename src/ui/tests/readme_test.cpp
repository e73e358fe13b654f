// The readme viewer: line splitting and the window on the program folder's Readme.txt.
#include "ui/readme.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/window_fixture.h"
#include "windows/readme.h"

namespace {

struct LinesCase {
  const char* name;
  std::string text;
  std::vector<std::string> lines;
};

class ReadmeLines : public testing::TestWithParam<LinesCase> {};

TEST_P(ReadmeLines, SplitAtCrAndCrLfOnly) { EXPECT_EQ(ui::readmeLines(GetParam().text), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadmeLines,
    testing::Values(LinesCase{"CrLf", "one\r\ntwo\r\nthree\r\n", {"one", "two", "three"}},
                    LinesCase{"NoFinalLineEnd", "one\r\ntwo\r\nthree", {"one", "two", "three"}},
                    LinesCase{"CrAlone", "one\rtwo\r", {"one", "two"}},
                    LinesCase{"LfAloneStaysInTheLine", "one\ntwo\r\nthree\n", {"one\ntwo", "three\n"}},
                    LinesCase{"EmptyLineInTheMiddle", "one\r\n\r\nthree\r\n", {"one", "", "three"}},
                    LinesCase{"EmptyLastLine", "one\r\n\r\n", {"one", ""}},
                    LinesCase{"OnlyALineEnd", "\r\n", {""}}, LinesCase{"EmptyFile", "", {}}),
    [](const auto& info) { return info.param.name; });

class ReadmeWindow : public uitest::UiTest {
 protected:
  const std::string readme = std::string(uitest::kProgramFolder) + "\\Readme.txt";

  std::vector<std::string> entries() {
    std::vector<std::string> items;
    for (int i = 0; i < windows::Readme().List1.listCount(); ++i)
      items.push_back(windows::Readme().List1.list(i));
    return items;
  }
  // Opens the viewer modally, as the Info page's button does; Close ends the showing.
  void openAndClose(std::vector<std::string>& seen) {
    windows::Readme().onActivate = [&] {
      seen = entries();
      windows::Readme().Command1.click();
    };
    windows::Readme().show(forms::Modal);
    windows::Readme().onActivate = nullptr;
  }
};

TEST_F(ReadmeWindow, ShowsTheFileReadAfreshOnEachOpening) {
  machine.write(readme, "Kelvaran\r\n\r\nsecond paragraph");
  std::vector<std::string> seen;
  openAndClose(seen);
  EXPECT_EQ(seen, (std::vector<std::string>{"Kelvaran", "", "second paragraph"}));
  EXPECT_FALSE(windows::Readme().loaded());

  machine.write(readme, "changed\r\n");
  openAndClose(seen);
  EXPECT_EQ(seen, std::vector<std::string>{"changed"});
}

TEST_F(ReadmeWindow, MissingOrHiddenFileIsReportedAndTheListStaysEmpty) {
  for (bool hidden : {false, true}) {
    SCOPED_TRACE(hidden ? "hidden" : "missing");
    if (hidden) {
      machine.write(readme, "text\r\n");
      machine.setAttributes(readme, platform::kHidden);
    } else if (machine.exists(readme)) {
      machine.remove(readme);
    }
    dialogs().expect("Readme.txt File not found!").style(forms::vbOKOnly).title("");
    std::vector<std::string> seen{"not opened"};
    openAndClose(seen);
    EXPECT_TRUE(seen.empty());
    dialogs().verify();
  }
}

}  // namespace
