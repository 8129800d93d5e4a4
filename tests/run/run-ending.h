#pragma once
// Runs a piece of the program on a TestPlatform and tells how it ended: the
// exit status (or none) and what it wrote on standard error.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/failure.h"
#include "support/test-platform.h"

namespace trovel::test {

struct Ending {
  std::optional<int> status;  // none when the process did not end
  std::string standardError;
};

inline std::string mathReport(const std::string& number, const std::string& message) {
  return "\r\nrun-time error " + number + ": MATH\r\n- " + message + "\r\n";
}

class RunEnding : public ::testing::Test {
 protected:
  template <typename Action>
  Ending endingOf(Action&& action) {
    std::optional<int> status;
    try {
      action();
    } catch (const ProcessExit& exit) {
      status = exit.status;
    }
    return {status, os.standardError};
  }

  TestPlatform os;
  Failures failures{os};
};

}  // namespace trovel::test
