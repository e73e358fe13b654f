#include "platform/vbfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/error.h"
#include "support/golden.h"
#include "support/runtime_checks.h"
#include "support/test_machine.h"

namespace {

using testsupport::errorOf;

// Declarations, not a using-directive: open, close and write would clash
// with the C library's.
using platform::vb::close;
using platform::vb::closeAll;
using platform::vb::Empty;
using platform::vb::eof;
using platform::vb::Field;
using platform::vb::freeFile;
using platform::vb::get;
using platform::vb::input;
using platform::vb::inputNumber;
using platform::vb::inputText;
using platform::vb::isOpen;
using platform::vb::lineInput;
using platform::vb::lof;
using platform::vb::open;
using platform::vb::OpenMode;
using platform::vb::print;
using platform::vb::put;
using platform::vb::write;
using Kind = Field::Kind;

class VbFiles : public ::testing::Test {
 protected:
  void SetUp() override { machine.mkdirs("C:\\KVTEST"); }
  void TearDown() override { closeAll(); }
  testsupport::TestMachine machine;
  const std::string file = "C:\\KVTEST\\SmartSv.ini";
};

TEST_F(VbFiles, PrintWritesTheSequentialNumberForm) {
  const int n = freeFile();
  open(file, OpenMode::Output, n);
  print(n, {0});
  print(n, {"9/12/2026"});
  print(n, {std::int64_t{3}});
  print(n, {-7, "x"});
  print(n, {"#1 : ", "Not Saved"});
  print(n, {true, ";", false});
  print(n, {1.5}, false);
  print(n, {"|"});
  print(n);
  close(n);
  EXPECT_TRUE(testsupport::matchesGolden(machine.read(file), "src/platform/tests/golden/printed.txt"));
}

TEST_F(VbFiles, WriteQuotesTextsAndMarksBooleansAndDates) {
  const int n = freeFile();
  open(file, OpenMode::Output, n);
  write(n, {"a, b", 5, -2.5, true, false, platform::DateTime{2026, 12, 9, 14, 35, 12}, Empty{}, ""});
  write(n, {platform::DateTime{2026, 12, 9, 0, 0, 0}, platform::DateTime{1899, 12, 30, 8, 0, 0}});
  close(n);
  EXPECT_EQ(machine.read(file),
            "\"a, b\",5,-2.5,#TRUE#,#FALSE#,#2026-12-09 14:35:12#,,\"\"\r\n#2026-12-09#,#08:00:00#\r\n");
}

TEST_F(VbFiles, InputFollowsTheFieldRules) {
  machine.write(file,
                "  lead , \"quoted, comma\"  dropped ,#TRUE#,#false#,#NULL#,#ERROR 53#,#2026-12-09#\r\n"
                "a,,b\n"
                ",\r"
                "last   \r\n"
                "\"open quote");
  struct Expected {
    Kind kind;
    const char* text;
  };
  const Expected expected[] = {
      {Kind::Text, "lead"},
      {Kind::Text, "quoted, comma"},
      {Kind::Boolean, "#TRUE#"},
      {Kind::Boolean, "#false#"},
      {Kind::Null, "#NULL#"},
      {Kind::Error, "#ERROR 53#"},
      {Kind::Date, "#2026-12-09#"},
      {Kind::Text, "a"},
      {Kind::Empty, ""},
      {Kind::Text, "b"},
      {Kind::Empty, ""},
      {Kind::Empty, ""},
      {Kind::Text, "last"},
      {Kind::Text, "open quote"},
  };
  open(file, OpenMode::Input, 1);
  for (const auto& e : expected) {
    ASSERT_FALSE(eof(1)) << e.text;
    const auto field = input(1);
    EXPECT_EQ(field.kind, e.kind) << e.text;
    EXPECT_EQ(field.text, e.text);
  }
  EXPECT_TRUE(eof(1));
  EXPECT_EQ(errorOf([] { input(1); }), 62);
}

TEST_F(VbFiles, InputIntoTextAndNumberVariables) {
  machine.write(file, " 0 \r\n9/12/2026\r\n#TRUE#,#FALSE#, 12 ,,abc\r\n");
  open(file, OpenMode::Input, 2);
  EXPECT_EQ(inputNumber(2), 0);
  EXPECT_EQ(inputText(2), "9/12/2026");
  EXPECT_EQ(inputText(2), "True");
  EXPECT_EQ(inputNumber(2), 0);
  EXPECT_EQ(inputNumber(2), 12);
  EXPECT_EQ(inputNumber(2), 0);
  EXPECT_EQ(errorOf([] { inputNumber(2); }), 13);
}

TEST_F(VbFiles, LineInputReadsEachKindOfLineEnd) {
  machine.write(file, "one, \"two\"\r\nthree\nfour\rfive");
  open(file, OpenMode::Input, 1);
  std::vector<std::string> lines;
  while (!eof(1)) lines.push_back(lineInput(1));
  EXPECT_EQ(lines, (std::vector<std::string>{"one, \"two\"", "three", "four", "five"}));
  EXPECT_EQ(errorOf([] { lineInput(1); }), 62);
}

TEST_F(VbFiles, OutputTruncatesAndAppendAdds) {
  machine.write(file, "old contents\r\n");
  open(file, OpenMode::Output, 1);
  print(1, {"first"});
  close(1);
  open(file, OpenMode::Append, 1);
  print(1, {"second"});
  EXPECT_EQ(lof(1), 15);
  close(1);
  open("C:\\KVTEST\\new.txt", OpenMode::Append, 1);
  print(1, {"created"});
  close(1);
  EXPECT_EQ(machine.read(file), "first\r\nsecond\r\n");
  EXPECT_EQ(machine.read("C:\\KVTEST\\new.txt"), "created\r\n");
}

TEST_F(VbFiles, FileNumbersAndModesAreChecked) {
  machine.write(file, "x\r\n");
  EXPECT_EQ(freeFile(), 1);
  EXPECT_EQ(freeFile(1), 256);
  open(file, OpenMode::Input, 1);
  EXPECT_EQ(freeFile(), 2);
  EXPECT_TRUE(isOpen(1));
  struct Case {
    const char* what;
    std::function<void()> call;
    int error;
  };
  const Case cases[] = {
      {"number already open", [&] { open("C:\\KVTEST\\other.txt", OpenMode::Output, 1); }, 55},
      {"file open for input, opened for output", [&] { open(file, OpenMode::Output, 2); }, 55},
      {"same file by another spelling", [&] { open("c:\\kvtest\\SMARTSV.INI", OpenMode::Append, 2); }, 55},
      {"number 0", [&] { open(file, OpenMode::Input, 0); }, 52},
      {"number 512", [&] { open(file, OpenMode::Input, 512); }, 52},
      {"number not open", [] { print(3, {"x"}); }, 52},
      {"print to an input file", [] { print(1, {"x"}); }, 54},
      {"get from an input file",
       [] {
         std::string b(4, '\0');
         get(1, b);
       },
       54},
      {"missing file for input", [] { open("C:\\KVTEST\\missing.txt", OpenMode::Input, 4); }, 53},
      {"missing folder for output", [] { open("C:\\NOFOLDER\\x.txt", OpenMode::Output, 4); }, 76},
  };
  for (const auto& c : cases) EXPECT_EQ(errorOf(c.call), c.error) << c.what;
  open(file, OpenMode::Input, 2);  // two readers are fine
  EXPECT_FALSE(isOpen(4));
  close(9);  // not open: ignored
  closeAll();
  EXPECT_FALSE(isOpen(1));
  EXPECT_FALSE(isOpen(2));
}

TEST_F(VbFiles, BinaryGetAndPutByPosition) {
  const std::string path = "C:\\KVTEST\\block.bin";
  open(path, OpenMode::Binary, 1);
  put(1, std::string("\x00\x01\x02\x03\x04\x05", 6));
  put(1, "AB", 3);
  EXPECT_EQ(lof(1), 6);
  std::string buffer(4, '?');
  get(1, buffer, 1);
  EXPECT_EQ(buffer, std::string("\x00\x01"
                                "AB",
                                4));
  EXPECT_FALSE(eof(1));
  get(1, buffer);  // from the current position; past the end reads NUL
  EXPECT_EQ(buffer, std::string("\x04\x05\x00\x00", 4));
  EXPECT_TRUE(eof(1));
  close(1);
  EXPECT_EQ(machine.read(path), std::string("\x00\x01"
                                            "AB\x04\x05",
                                            6));
}

}  // namespace
