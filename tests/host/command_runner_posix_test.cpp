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

// A bare interpreter name is looked up in each folder of PATH in turn, past
// folders that are missing or are files; an empty entry is the current folder.
TEST(CommandRunnerPosix, ABareInterpreterNameIsFoundInAnyFolderOfPathOrNowhere) {
  const test::ScratchFolder folder;
  std::filesystem::create_directory("bin");
  std::filesystem::copy_file(test::stubInterpreterPath(), "bin/stub.exe");
  std::filesystem::copy_file(test::stubInterpreterPath(), "here.exe");
  test::writeBytes("a-file", "");
  const std::string top = folder.path().string();
  const struct {
    const char* interpreter;
    std::string path;
    bool runs;
  } cases[] = {
      {"stub.exe", "/no/such/folder:" + top + "/a-file:" + top + "/bin", true},
      {"here.exe", "/no/such/folder::" + top + "/bin", true},
      {"stub.exe", "/no/such/folder:" + top + "/a-file:" + top, false},
  };
  for (const auto& [interpreter, path, runs] : cases) {
    SCOPED_TRACE(std::string(interpreter) + " on " + path);
    std::filesystem::remove("stub-log.txt");
    const test::EnvironmentOverride environment({{"COMSPEC", interpreter},
                                                 {"PATH", path},
                                                 {"STUB_LOG", "stub-log.txt"},
                                                 {"STUB_EXIT", "0"},
                                                 {"STUB_SIGNAL", std::nullopt}});
    test::TestPlatform os;
    Failures failures(os);
    EXPECT_EQ(runCommand(os, failures, "notepad caso.txt"), runs ? 0 : -1);
    EXPECT_EQ(std::filesystem::exists("stub-log.txt"), runs);
    if (!runs) {
      EXPECT_EQ(os.lastFailureCause(), 2);
    }
  }
}

}  // namespace
}  // namespace trovel
