#include "support/test-host.h"

#include <gtest/gtest.h>

namespace trovel::test {

int exitStatusOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ProcessExit& exit) {
    return exit.status;
  }
  ADD_FAILURE() << "the process did not end";
  return -1;
}

std::string reportOf(FailureKind kind, Statement statement, std::string_view fileName) {
  const FailureKindInfo& info = describe(kind);
  return composeReport(info, FailureContext{statement, std::string(fileName)}, info.message);
}

}  // namespace trovel::test
