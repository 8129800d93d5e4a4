// The built program against faults that the system itself makes, on both
// systems: a folder where the report should go, and no standard error at
// all. Each run must end with its one report (or none where there is nowhere
// to write it), the right status, and input files unchanged.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/failure.h"
#include "real-fault.h"
#include "support/test-host.h"

namespace trovel {
namespace {

using test::kCaseFile;
using test::kIndexFile;
using test::readBytes;
using test::RealFault;
using test::reportOf;
using test::writeBytes;

TEST_F(RealFault, FolderAsReportNameIsRefusedBeforeAnythingIsWritten) {
  std::filesystem::create_directory("saida");
  writeCase("saida");
  const test::ChildResult result = run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError,
            reportOf(FailureKind::FileAccessDenied, Statement::Open, "saida"));
  EXPECT_TRUE(std::filesystem::is_empty("saida"));
  expectInputsUnchanged();
}

TEST_F(RealFault, WithoutStandardErrorAFailedRunEndsWithStatusOneAndTouchesNoFile) {
  // The value of g is not a number; the report has nowhere to go.
  std::string data = test::workedExampleCase();
  data.replace(data.find("9.81"), 4, "9.81m");
  writeBytes(kIndexFile, "caso.txt\r\n");
  writeBytes(kCaseFile, data);
  caseBytes_ = data;
  test::ChildProgram child;
  child.standardErrorClosed = true;
  const test::ChildResult result = run(child);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardOutput, "");
  expectInputsUnchanged();
  EXPECT_FALSE(std::filesystem::exists(test::kExampleReport));
}

TEST_F(RealFault, WithoutStandardErrorAGoodRunWritesItsReport) {
  writeCase(test::kExampleReport);
  test::ChildProgram child;
  child.standardErrorClosed = true;
  const test::ChildResult result = run(child);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(readBytes(test::kExampleReport), test::goldenReport());
  expectInputsUnchanged();
}

}  // namespace
}  // namespace trovel
