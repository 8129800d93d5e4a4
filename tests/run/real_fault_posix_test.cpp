// Faults that a POSIX system can make on demand: a full medium (/dev/full,
// also through a link), and a process left with no free file descriptor.
// Under Wine the full medium is full-medium-wine-test.sh.

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

TEST_F(RealFault, ReportOnAFullMediumEndsWithDiskFullAtTheFirstTransfer) {
  // Each name as the case file writes it, and as the report shows it.
  struct Row {
    std::string line;
    std::string name;
  };
  std::filesystem::create_symlink("/dev/full", "cheio.txt");
  const std::vector<Row> rows = {{"'/dev/full'", "/dev/full"}, {"cheio.txt", "cheio.txt"}};
  for (const Row& row : rows) {
    writeCase(row.line);
    const test::ChildResult result = run();
    EXPECT_EQ(result.exitCode, 1) << row.name;
    EXPECT_EQ(result.standardError, reportOf(FailureKind::DiskFull, Statement::Write, row.name));
    EXPECT_EQ(result.standardOutput, "");
    expectInputsUnchanged();
  }
}

TEST_F(RealFault, NoFreeFileDescriptorEndsWithTooManyOpenFiles) {
  writeCase(test::kExampleReport);
  // The command that opens the case file in the editor leaves the program
  // only the three descriptors of its standard streams (set before the
  // start, the limit would stop the loader).
  writeBytes("limite.sh",
             "#!/bin/sh\n"
             "[ \"$3\" = caso.txt ] && exec prlimit --pid \"$PPID\" --nofile=3:3\n"
             "exit 0\n");
  std::filesystem::permissions("limite.sh", std::filesystem::perms::owner_all);
  // The leak check of a sanitizer build needs a descriptor of its own at exit.
  test::ChildProgram child;
  child.environment = {{"ASAN_OPTIONS", "halt_on_error=1:detect_leaks=0"}};
  const test::ChildResult result = run(child, (folder.path() / "limite.sh").string());
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError,
            reportOf(FailureKind::TooManyOpenFiles, Statement::Open, kCaseFile));
  EXPECT_FALSE(std::filesystem::exists(test::kExampleReport));
  expectInputsUnchanged();
}

TEST_F(RealFault, FullMediumInTheClosingStepAddsItsReportAndTheStatusStaysOne) {
  // The header fits in one buffer; g = 1E308 overflows in ideal method 1, and
  // the closing step then hands the header to the full medium.
  const std::string name = "/dev/full";
  writeCase("'" + name + "'");
  std::string data = caseBytes_;
  data.replace(data.find("9.81"), 4, "1E308");
  writeBytes(kCaseFile, data);
  caseBytes_ = data;
  for (const bool closed : {false, true}) {
    test::ChildProgram child;
    child.standardErrorClosed = closed;
    const test::ChildResult result = run(child);
    EXPECT_EQ(result.exitCode, 1) << closed;
    if (!closed) {
      EXPECT_EQ(result.standardError,
                "\r\nrun-time error M6104: MATH\r\n- floating-point error: overflow\r\n" +
                    reportOf(FailureKind::DiskFull, Statement::Close, name));
    }
    EXPECT_EQ(result.standardOutput, "");
    expectInputsUnchanged();
  }
}

}  // namespace
}  // namespace trovel
