// The layer's scratch folders: inside the machine folder, removed whole by
// their owner, and swept when the machine is opened after their owner died.
#include "platform/scratch.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/test_machine.h"

namespace {

namespace fs = std::filesystem;

TEST(ScratchFolder, LiesInTheMachineFolderAndGoesWithAllItHolds) {
  testsupport::TestMachine m;
  fs::path made;
  {
    platform::ScratchFolder scratch;
    made = scratch.path();
    const fs::path inside = made.lexically_relative(m.root());
    EXPECT_TRUE(!inside.empty() && *inside.begin() != "..") << made;
    fs::create_directories(made / "WINDOWS" /
                           "\x81"
                           "ber");  // a DOS code page name, not UTF-8
    std::ofstream(made / "WINDOWS" /
                  "\x81"
                  "ber" /
                  "USER.DAT")
        << "registry";
  }
  EXPECT_FALSE(fs::exists(made));
}

// A program killed half way through an unpack leaves its scratch behind (a
// full copy of the saved system files); the next start of the program removes
// it, and leaves the scratch of a program that still runs.
TEST(ScratchFolder, WhatAKilledProgramLeftIsSweptWhenTheMachineOpens) {
  testsupport::TestMachine m;
  platform::ScratchFolder mine;
  int told[2];
  ASSERT_EQ(pipe(told), 0);
  const pid_t program = fork();
  ASSERT_GE(program, 0);
  if (program == 0) {
    platform::ScratchFolder scratch;
    std::ofstream(scratch.path() / "USER.DAT") << "registry";
    std::ofstream(scratch.path() /
                  "\x81"
                  "ber.dat")
        << "x";
    const std::string path = scratch.path().string();
    (void)!write(told[1], path.data(), path.size());
    close(told[1]);
    pause();
    _exit(0);
  }
  close(told[1]);
  std::string left(4096, '\0');
  const ssize_t got = read(told[0], left.data(), left.size());
  close(told[0]);
  kill(program, SIGKILL);
  waitpid(program, nullptr, 0);
  ASSERT_GT(got, 0);
  left.resize(static_cast<std::size_t>(got));
  ASSERT_TRUE(fs::exists(fs::path(left) / "USER.DAT"));

  m.reopen();
  EXPECT_FALSE(fs::exists(left));
  EXPECT_TRUE(fs::exists(mine.path()));
}

}  // namespace
