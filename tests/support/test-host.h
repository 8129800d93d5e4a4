#pragma once
// The host services of one run, on the test platform, in a fresh working
// folder: what most tests of the file, reading and writing code need.

#include <functional>
#include <string>
#include <string_view>

#include "host/connection.h"
#include "host/failure.h"
#include "support/scratch-folder.h"
#include "support/test-platform.h"

namespace trovel::test {

struct TestHost {
  ScratchFolder folder;
  TestPlatform os;
  Failures failures{os};
  Units units{os, failures};
};

// Runs `action` and returns the status the process ended with, or -1 (and a
// test failure) when it did not end.
int exitStatusOf(const std::function<void()>& action);

// The exact report of a failure of `kind` with its own message text.
std::string reportOf(FailureKind kind, Statement statement, std::string_view fileName);

}  // namespace trovel::test
