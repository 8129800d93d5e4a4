#pragma once
// The built program run in a scratch folder on the worked example, for tests
// of faults that the system itself makes.

#include <gtest/gtest.h>

#include <string>

#include "support/child-process.h"
#include "support/scratch-folder.h"
#include "worked-example.h"

namespace trovel::test {

inline constexpr const char* kCaseFile = "caso.txt";

class RealFault : public ::testing::Test {
 protected:
  // The worked example with `casoLine` as its first line.
  void writeCase(const std::string& casoLine) {
    std::string data = workedExampleCase();
    data.replace(0, data.find('\r'), casoLine);
    writeBytes(kIndexFile, "caso.txt\r\n");
    writeBytes(kCaseFile, data);
    caseBytes_ = data;
  }

  // Runs the program in the folder; by default the interpreter cannot be
  // found, so the editing steps are skipped.
  ChildResult run(ChildProgram child = {},
                  const std::string& comspec = "trovel-no-such-interpreter") {
    child.program = trovelPath();
    child.workingFolder = folder.path();
    child.environment.push_back({"COMSPEC", comspec});
    return runChild(child);
  }

  void expectInputsUnchanged() {
    EXPECT_EQ(readBytes(kIndexFile), "caso.txt\r\n");
    EXPECT_EQ(readBytes(kCaseFile), caseBytes_);
  }

  ScratchFolder folder;
  std::string caseBytes_;
};

}  // namespace trovel::test
