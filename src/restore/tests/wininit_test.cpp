// The [rename] lines of Wininit.ini: which lines, and how they are merged
// into a file that exists already.
#include "restore/wininit.h"

#include <gtest/gtest.h>

#include "restore/restore_boxes.h"
#include "support/restore_fixture.h"

namespace restore {
namespace {

const std::vector<std::string> kLines{"C:\\WINDOWS\\system.ini=C:\\WINDOWS\\TEMP\\kelvaran\\system.ini",
                                      "C:\\WINDOWS\\Win.ini=C:\\WINDOWS\\TEMP\\kelvaran\\Win.ini"};
const std::string kAdded =
    "C:\\WINDOWS\\system.ini=C:\\WINDOWS\\TEMP\\kelvaran\\system.ini\r\n"
    "C:\\WINDOWS\\Win.ini=C:\\WINDOWS\\TEMP\\kelvaran\\Win.ini\r\n";

TEST(MergeWininit, KeepsEveryLineInPlaceAndAddsTheLinesAfterEachRenameHeader) {
  const struct {
    const char* name;
    std::string existing;
    std::string merged;
  } cases[] = {
      {"none or empty", "", "[rename]\r\n" + kAdded},
      {"other sections only", "[CombineVxDs]\r\nvnetsup.vxd=1\r\n",
       "[CombineVxDs]\r\nvnetsup.vxd=1\r\n[rename]\r\n" + kAdded},
      {"no line end at the end", "[Other]\r\nx=1", "[Other]\r\nx=1\r\n[rename]\r\n" + kAdded},
      {"a section of its own",
       "[Other]\r\na=1\r\n[rename]\r\nNUL=C:\\OLD.TMP\r\n\"C:\\a,b.ini\"=C:\\x, \"y\"\r\n  indented=1\r\n",
       "[Other]\r\na=1\r\n[rename]\r\n" + kAdded +
           "NUL=C:\\OLD.TMP\r\n\"C:\\a,b.ini\"=C:\\x, \"y\"\r\n  indented=1\r\n"},
      {"headers in other cases", "[Rename]\r\nA=B\r\n[RENAME] \n",
       "[Rename]\r\n" + kAdded + "A=B\r\n[RENAME] \n" + kAdded},
      {"a header without line end", "[rename]", "[rename]\r\n" + kAdded},
      {"a comment naming the section is no header", "; [rename] follows\r\n",
       "; [rename] follows\r\n[rename]\r\n" + kAdded},
  };
  for (const auto& c : cases) EXPECT_EQ(MergeWininit(c.existing, kLines), c.merged) << c.name;
}

class WininitWriting : public restoretest::RestoreTest {
 protected:
  const std::string work = "C:\\WINDOWS\\TEMP\\kelvaran\\";
  const std::string ini = "C:\\WINDOWS\\WININIT.INI";
};

TEST_F(WininitWriting, WritesALineOnlyForATickedBoxWithARestoredCopyInTableOrder) {
  machine().write(work + "Win.ini", "[windows]\r\n");
  machine().write(work + "classes.dat", "REGEDIT4\r\n");
  machine().write(work + "system.ini", "");  // empty is a file as well
  for (int box : {9, 25, 7, 3}) {            // control.ini has no copy at all
    RestoreBox(box).setEnabled(true);
    RestoreBox(box).setValue(1);
  }
  EXPECT_EQ(WriteWininitRename("C:\\WINDOWS", work), 3);
  EXPECT_EQ(machine().read(ini),
            "[rename]\r\n"
            "C:\\WINDOWS\\system.ini=C:\\WINDOWS\\TEMP\\KELVARAN\\system.ini\r\n"
            "C:\\WINDOWS\\classes.dat=C:\\WINDOWS\\TEMP\\KELVARAN\\classes.dat\r\n"
            "C:\\WINDOWS\\Win.ini=C:\\WINDOWS\\TEMP\\KELVARAN\\Win.ini\r\n");
  // Nothing ticked with a copy: the file is not touched.
  RestoreBox(9).setValue(0);
  RestoreBox(25).setValue(0);
  RestoreBox(7).setValue(0);
  machine().write(ini, "[Other]\r\n");
  EXPECT_EQ(WriteWininitRename("C:\\WINDOWS", work), 0);
  EXPECT_EQ(machine().read(ini), "[Other]\r\n");
}

// Windows 9x's restart ignores a line with a long name on either side: both
// sides name their folder by its 8.3 path, also when the temporary or the
// Windows folder has a long name. All seven lines stand in their fixed order
// whatever order the boxes were ticked in.
TEST_F(WininitWriting, EveryLineNamesBothFilesByTheirShortPathsInTheFixedOrder) {
  struct Case {
    const char* what;
    std::string windowsFolder, work;
    std::string shortWindows, shortWork;  // with their trailing "\\"
  } cases[] = {
      {"long temporary folder", "C:\\WINDOWS", "C:\\WINDOWS\\Temporary Internet Stuff\\kelvaran\\",
       "C:\\WINDOWS\\", "C:\\WINDOWS\\TEMPOR~1\\KELVARAN\\"},
      {"long Windows folder", "C:\\Windows Millennium", "C:\\Windows Millennium\\TEMP\\kelvaran\\",
       "C:\\WINDOW~1\\", "C:\\WINDOW~1\\TEMP\\KELVARAN\\"},
  };
  const char* order[] = {"system.ini", "protocol.ini", "control.ini", "user.dat",
                         "system.dat", "classes.dat",  "Win.ini"};
  for (const Case& c : cases) {
    for (const char* name : order) machine().write(c.work + name, std::string("restored ") + name);
    for (int box : {9, 25, 6, 8, 3, 5, 7}) RestoreBox(box).setValue(1);
    EXPECT_EQ(WriteWininitRename(c.windowsFolder, c.work), 7) << c.what;
    std::string expected = "[rename]\r\n";
    for (const char* name : order) expected += c.shortWindows + name + "=" + c.shortWork + name + "\r\n";
    EXPECT_EQ(machine().read(c.windowsFolder + "\\WININIT.INI"), expected) << c.what;
  }
}

TEST_F(WininitWriting, AFailedWriteRaisesAndKeepsTheOldFile) {
  machine().write(work + "Win.ini", "[windows]\r\n");
  RestoreBox(9).setValue(1);
  machine().write(ini, "[rename]\r\nA=B\r\n");
  machine().setAttributes(ini, 1);  // read-only
  EXPECT_NE(testsupport::errorOf([&] { WriteWininitRename("C:\\WINDOWS", work); }), 0);
  EXPECT_EQ(machine().read(ini), "[rename]\r\nA=B\r\n");
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\Wininit.in1"));
}

TEST_F(WininitWriting, AMissingWininitExeEndsTheProgramAfterItsMessage) {
  EXPECT_TRUE(CheckWininitExe("C:\\WINDOWS"));
  machine().remove("C:\\WINDOWS\\WININIT.EXE");
  dialogs()
      .expect("'Wininit.exe' File not found!\r\rIgnore?")
      .style(forms::vbOKOnly + forms::vbCritical)
      .title("Warning!");
  EXPECT_FALSE(CheckWininitExe("C:\\WINDOWS"));
  EXPECT_EQ(programEnds, 1);
}

}  // namespace
}  // namespace restore
