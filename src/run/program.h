#pragma once
// The whole program on a platform: the host services of one run, and the run
// driver with its stages wired to the command runner, the case files and the
// report writer.

#include "host/platform.h"

namespace trovel {

// Runs the program to its end, which ends the process through `os`.
[[noreturn]] void runProgram(Platform& os);

}  // namespace trovel
