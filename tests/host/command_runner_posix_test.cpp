// What the command runner does on POSIX systems only.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "host/command-runner.h"
#include "support/child-process.h"
#include "support/scratch-folder.h"
#include "support/test-platform.h"

namespace trovel {
namespace {

TEST(CommandRunnerPosix, AnInterpreterEndedByASignalGives128PlusItsNumber) {
  const test::ScratchFolder folder;
  const test::EnvironmentOverride environment({{"COMSPEC", test::stubInterpreterPath()},
                                               {"STUB_LOG", "stub-log.txt"},
                                               {"STUB_EXIT", std::nullopt},
                                               {"STUB_SIGNAL", std::to_string(SIGTERM)}});
  test::TestPlatform os;
  Failures failures(os);
  EXPECT_EQ(runCommand(os, failures, "notepad caso.txt"), 128 + SIGTERM);
  EXPECT_TRUE(std::filesystem::exists("stub-log.txt"));
}

}  // namespace
}  // namespace trovel
