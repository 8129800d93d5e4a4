#include "support/child-process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "support/scratch-folder.h"

namespace trovel::test {
namespace {

// The lines the echo child writes on standard output.
std::string echoed(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                   const std::string& variable, const std::string& comspec) {
  std::string lines = folder.string() + '\n';
  for (const std::string& argument : arguments) lines += '[' + argument + "]\n";
  return lines + variable + '\n' + comspec + '\n';
}

TEST(ChildProcess, PassesArgumentsFolderEnvironmentAndInputAndReturnsWhatTheChildWrote) {
  const ScratchFolder folder;
  std::filesystem::create_directory("work");
  const std::vector<std::string> arguments = {
      "plain", "two words", "", "quote\"inside", "back\\slash", "trailing\\", "\\\"", "  ",
  };
  const std::string input = "first line\r\nsecond\n\x1a last";

  const ChildResult result =
      runChild({echoChildPath(),
                arguments,
                folder.path() / "work",
                {{"ECHO_VARIABLE", "a value"}, {"COMSPEC", "stub.exe"}, {"ECHO_EXIT", "3"}},
                input});

  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.standardOutput,
            echoed(folder.path() / "work", arguments, "ECHO_VARIABLE=a value", "COMSPEC=stub.exe"));
  EXPECT_EQ(result.standardError, input);
}

TEST(ChildProcess, RestoresItsOwnEnvironmentAndCanRemoveAVariableForTheChild) {
  const EnvironmentOverride outer({{"ECHO_VARIABLE", "outer"}, {"ECHO_EXIT", std::nullopt}});
  const ChildResult result =
      runChild({.program = echoChildPath(), .environment = {{"ECHO_VARIABLE", std::nullopt}}});

  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.standardOutput.find("\nECHO_VARIABLE unset\n"), std::string::npos)
      << result.standardOutput;
  EXPECT_EQ(environmentValue("ECHO_VARIABLE"), "outer");
}

TEST(ChildProcess, EnvironmentOverrideSetsEmptyValuesAndRestoresEveryVariable) {
  {
    const EnvironmentOverride outer({{"TROVEL_TEST_A", "1"}, {"TROVEL_TEST_B", std::nullopt}});
    {
      const EnvironmentOverride inner(
          {{"TROVEL_TEST_A", ""}, {"TROVEL_TEST_B", "2"}, {"TROVEL_TEST_A", "3"}});
      EXPECT_EQ(environmentValue("TROVEL_TEST_A"), "3");
      EXPECT_EQ(environmentValue("TROVEL_TEST_B"), "2");
    }
    EXPECT_EQ(environmentValue("TROVEL_TEST_A"), "1");
    EXPECT_EQ(environmentValue("TROVEL_TEST_B"), std::nullopt);
    const EnvironmentOverride empty("TROVEL_TEST_B", "");
    EXPECT_EQ(environmentValue("TROVEL_TEST_B"), "");
  }
  EXPECT_EQ(environmentValue("TROVEL_TEST_A"), std::nullopt);
  EXPECT_EQ(environmentValue("TROVEL_TEST_B"), std::nullopt);
}

TEST(ChildProcess, AClosedStandardInputGivesTheChildNothingToRead) {
  const ChildResult result = runChild({.program = echoChildPath(), .standardInput = std::nullopt});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardError, "");
}

TEST(ChildProcess, AProgramThatCannotBeStartedIsAnError) {
  const ScratchFolder folder;
  EXPECT_THROW(runChild({.program = "no-such-program-here"}), std::runtime_error);
}

}  // namespace
}  // namespace trovel::test
