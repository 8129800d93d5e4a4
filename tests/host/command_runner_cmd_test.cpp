// The command runner with the system's own cmd.exe on Windows: a name read
// from a data file reaches the editor as it stands and runs nothing else.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "host/command-runner.h"
#include "support/child-process.h"
#include "support/scratch-folder.h"
#include "support/test-platform.h"

namespace trovel {
namespace {

using test::readBytes;

std::set<std::string> filesHere() {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// cmd.exe looks for "notepad" in the current folder first: there it finds the stub.
TEST(CommandRunnerCmd, ANameWithCmdsSpecialCharactersReachesTheEditorAsItStands) {
  const test::ScratchFolder folder;
  std::filesystem::copy_file(test::stubInterpreterPath(), "notepad.exe");
  const test::EnvironmentOverride environment(
      {{"STUB_LOG", "stub-log.txt"}, {"STUB_EXIT", std::nullopt}, {"STUB_SIGNAL", std::nullopt}});
  test::TestPlatform os;
  Failures failures(os);
  const std::optional<std::string> comspec = os.environmentVariable("COMSPEC");
  ASSERT_TRUE(comspec && comspec->ends_with("cmd.exe")) << comspec.value_or("no COMSPEC");

  const std::string names[] = {
      "r.txt&mkdir pwned",
      "a&notepad b",
      "a&&notepad b",
      "a||notepad b",
      "a|notepad b",
      "a>out.txt",
      "a<in.txt",
      "a^b",
      "x^",
      "(a)",
      "a)&notepad b",
      "a!b!",
      "a\"b",
      "\"a&notepad b\"",
      "a\"&notepad b&\"",
      "50%.txt",
      "%NOT_DEFINED_ANYWHERE%.txt",
      "a b  c.txt",
      "Rel\xE1t\xF3rio.txt",
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    std::string commandText = "notepad " + name;
    commandText.resize(58, ' ');
    EXPECT_EQ(runCommand(os, failures, commandText), 0);
    EXPECT_EQ(readBytes("stub-log.txt"), "notepad " + name + "\n");
    EXPECT_EQ(filesHere(), (std::set<std::string>{"notepad.exe", "stub-log.txt"}));
    std::filesystem::remove("stub-log.txt");
  }
}

}  // namespace
}  // namespace trovel
