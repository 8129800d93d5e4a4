#include "run/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "run-ending.h"
#include "support/example-case.h"

namespace trovel {
namespace {

using test::blankPadded;
using test::mathReport;
using test::reportExampleCase;

std::string blankPaddedString(std::string_view value, std::size_t length) {
  std::string text(value);
  text.resize(length, ' ');
  return text;
}

// Stages that record every call with what the run gave them.
class RecordingStages final : public RunStages {
 public:
  struct Call {
    std::string name;
    std::string text;            // a command or a file name, all its characters
    std::vector<double> values;  // the values of a block
  };

  // What the stages hand the run.
  FixedText<50> caseFileName = blankPadded<50>("caso1.txt");
  std::function<void(CaseData&)> fillCase = [](CaseData& data) { data = reportExampleCase(); };
  std::int32_t commandResult = 0;

  std::vector<Call> calls;
  CaseData header;

  std::vector<std::string> names() const {
    std::vector<std::string> result;
    for (const Call& call : calls) result.push_back(call.name);
    return result;
  }
  std::vector<std::string> commands() const {
    std::vector<std::string> result;
    for (const Call& call : calls) {
      if (call.name == "runCommand") result.push_back(call.text);
    }
    return result;
  }
  const Call& only(const std::string& name) const {
    for (const Call& call : calls) {
      if (call.name == name) return call;
    }
    static const Call none;
    ADD_FAILURE() << "no call of " << name;
    return none;
  }

  std::int32_t runCommand(std::string_view command) override {
    calls.push_back({"runCommand", std::string(command), {}});
    return commandResult;
  }
  FixedText<50> readCaseFileName() override {
    calls.push_back({"readCaseFileName", "", {}});
    return caseFileName;
  }
  void loadCase(const FixedText<50>& name, CaseData& data) override {
    calls.push_back({"loadCase", std::string(name.view()), {}});
    fillCase(data);
  }
  void open(const FixedText<50>& caso) override {
    calls.push_back({"open", std::string(caso.view()), {}});
  }
  void writeHeader(const CaseData& data) override {
    calls.push_back({"writeHeader", std::string(data.caso.view()), {}});
    header = data;
  }
  void writeIdealMethod1(double Hi1) override { calls.push_back({"writeIdealMethod1", "", {Hi1}}); }
  void writeIdealMethod2(double Hi2) override { calls.push_back({"writeIdealMethod2", "", {Hi2}}); }
  void writeMethodA(double HA) override { calls.push_back({"writeMethodA", "", {HA}}); }
  void writeMethodB(double HB, double x, double y, double OH2) override {
    calls.push_back({"writeMethodB", "", {HB, x, y, OH2}});
  }
  void writeMethodC(double HC, double x, double y, double OH2) override {
    calls.push_back({"writeMethodC", "", {HC, x, y, OH2}});
  }
  void writeDefinitions() override { calls.push_back({"writeDefinitions", "", {}}); }
  void close() override { calls.push_back({"close", "", {}}); }
};

const std::vector<std::string> kWholeRun = {
    "runCommand",   "readCaseFileName", "runCommand",        "loadCase",
    "open",         "writeHeader",      "writeIdealMethod1", "writeIdealMethod2",
    "writeMethodA", "writeMethodB",     "writeMethodC",      "writeDefinitions",
    "close",        "runCommand",
};

// The calls of a run up to and including `last`.
std::vector<std::string> runUpTo(const std::string& last) {
  std::vector<std::string> calls;
  for (const std::string& name : kWholeRun) {
    calls.push_back(name);
    if (name == last) break;
  }
  return calls;
}

class DriverTest : public test::RunEnding {
 protected:
  test::Ending run() {
    return endingOf([&] { RunDriver(stages, failures).run(); });
  }

  RecordingStages stages;
};

TEST_F(DriverTest, NormalRunCallsEveryStageInOrderAndEndsWithStatus0) {
  const test::Ending ending = run();

  EXPECT_EQ(ending.status, 0);
  EXPECT_EQ(ending.standardError, "");
  EXPECT_EQ(os.standardOutput, "");
  EXPECT_EQ(stages.names(), kWholeRun);

  const std::vector<std::string> commands = stages.commands();
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0], "Notepad Trovel_1p1_dados.txt");
  EXPECT_EQ(commands[0].size(), 28u);
  EXPECT_EQ(commands[1], blankPaddedString("notepad caso1.txt", 58));
  EXPECT_EQ(commands[2], blankPaddedString("notepad Voo01_saida.txt", 58));
  EXPECT_EQ(stages.only("loadCase").text, blankPaddedString("caso1.txt", 50));
  EXPECT_EQ(stages.only("open").text, blankPaddedString("Voo01_saida.txt", 50));
}

TEST_F(DriverTest, EachBlockGetsItsMethodsResults) {
  ASSERT_EQ(run().status, 0);

  EXPECT_EQ(stages.header.beta, -60.0);
  EXPECT_EQ(stages.header.titulo, reportExampleCase().titulo);
  EXPECT_EQ(stages.only("writeIdealMethod1").values, std::vector<double>{122.625});
  EXPECT_NEAR(stages.only("writeIdealMethod2").values.at(0), 78.48, 1e-12);
  EXPECT_NEAR(stages.only("writeMethodA").values.at(0), 57.7350269189626, 5e-14);
  // method B's x, y and OH2 go to its block before method C overwrites them
  const std::vector<double> b = stages.only("writeMethodB").values;
  const std::vector<double> c = stages.only("writeMethodC").values;
  ASSERT_EQ(b.size(), 4u);
  ASSERT_EQ(c.size(), 4u);
  const double expectedB[] = {66.1437827766148, 12.5, -21.6506350946110, 114.564392373896};
  const double expectedC[] = {64.2910050732864, 10.0, -17.3205080756888, 111.355287256600};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(b[i], expectedB[i], 5e-13) << i;
    EXPECT_NEAR(c[i], expectedC[i], 5e-13) << i;
  }
}

TEST_F(DriverTest, CommandsCarryAllFiftyCharactersOfTheName) {
  struct Row {
    const char* name;
    FixedText<50> caseFileName;
  };
  FixedText<50> full;
  full.bytes.fill('a');
  const Row rows[] = {
      {"blank-padded with an inner blank", blankPadded<50>(" a b.txt")},
      {"never read: 50 NUL characters", FixedText<50>{}},
      {"no trailing blank", full},
  };
  for (const Row& row : rows) {
    stages = RecordingStages();
    stages.caseFileName = row.caseFileName;
    ASSERT_EQ(run().status, 0) << row.name;
    const std::vector<std::string> commands = stages.commands();
    ASSERT_EQ(commands.size(), 3u) << row.name;
    EXPECT_EQ(commands[1], "notepad " + std::string(row.caseFileName.view())) << row.name;
    EXPECT_EQ(commands[1].size(), 58u) << row.name;
    EXPECT_EQ(stages.only("loadCase").text, std::string(row.caseFileName.view())) << row.name;
  }
}

TEST_F(DriverTest, ResultOfACommandChangesNothing) {
  for (const std::int32_t result : {1, -1, 9009, std::numeric_limits<std::int32_t>::min()}) {
    stages = RecordingStages();
    stages.commandResult = result;
    const test::Ending ending = run();
    EXPECT_EQ(ending.status, 0) << result;
    EXPECT_EQ(ending.standardError, "") << result;
    EXPECT_EQ(stages.names(), kWholeRun) << result;
  }
}

TEST_F(DriverTest, ZeroImpactTimeEndsTheRunInMethodCAfterTheBlockOfMethodB) {
  stages.fillCase = [](CaseData& data) {
    data = reportExampleCase();
    data.tI = 0;
  };
  const test::Ending ending = run();

  EXPECT_EQ(ending.status, 1);
  EXPECT_EQ(ending.standardError, mathReport("M6103", "floating-point error: divide by zero"));
  EXPECT_EQ(stages.names(), runUpTo("writeMethodB"));
  EXPECT_EQ(stages.commands().size(), 2u);
}

TEST_F(DriverTest, CaseLeftAllZeroComputesWithZerosAndEndsInMethodC) {
  stages.caseFileName = FixedText<50>{};
  stages.fillCase = [](CaseData&) {};  // every read a null value
  const test::Ending ending = run();

  EXPECT_EQ(ending.status, 1);
  EXPECT_EQ(ending.standardError, mathReport("M6101", "floating-point error: invalid"));
  EXPECT_EQ(stages.names(), runUpTo("writeMethodB"));
  EXPECT_EQ(stages.only("open").text, std::string(50, '\0'));
  EXPECT_EQ(stages.header.beta, 180.0);
  EXPECT_EQ(stages.header.g, 0.0);
  EXPECT_EQ(stages.header.titulo, FixedText<90>{});
  const std::vector<double> b = stages.only("writeMethodB").values;
  ASSERT_EQ(b.size(), 4u);
  EXPECT_TRUE(b[1] == 0.0 && std::signbit(b[1]));
}

// A failing method ends the run with the blocks of the methods before it
// written and nothing of its own.
TEST_F(DriverTest, EachBlockIsWrittenRightAfterItsMethod) {
  struct Row {
    const char* name;
    std::function<void(CaseData&)> change;
    const char* lastCall;
    const char* number;
    const char* message;
  };
  const Row rows[] = {
      {"beta overflows",
       [](CaseData& d) {
         d.gama = std::numeric_limits<double>::max();
         d.lambda = -d.gama;
       },
       "loadCase", "M6104", "floating-point error: overflow"},
      {"ideal method 1", [](CaseData& d) { d.tI = 3e154; }, "writeHeader", "M6203",
       "**: OVERFLOW error"},
      {"ideal method 2", [](CaseData& d) { d.tH = 3e154; }, "writeIdealMethod1", "M6203",
       "**: OVERFLOW error"},
      {"method A", [](CaseData& d) { d.alfa = 6e20; }, "writeIdealMethod2", "M6205",
       "tan: TLOSS error"},
      {"method B", [](CaseData& d) { d.lambda = 6e20; }, "writeMethodA", "M6205",
       "cos: TLOSS error"},
      {"method C", [](CaseData& d) { d.tI = 1e-310; }, "writeMethodB", "M6104",
       "floating-point error: overflow"},
  };
  for (const Row& row : rows) {
    stages = RecordingStages();
    os.standardError.clear();
    stages.fillCase = [&](CaseData& data) {
      data = reportExampleCase();
      row.change(data);
    };
    const test::Ending ending = run();
    EXPECT_EQ(ending.status, 1) << row.name;
    EXPECT_EQ(ending.standardError, mathReport(row.number, row.message)) << row.name;
    EXPECT_EQ(stages.names(), runUpTo(row.lastCall)) << row.name;
  }
}

}  // namespace
}  // namespace trovel
