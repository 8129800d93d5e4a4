#pragma once
// Runs one command through the system's command interpreter and waits for it.

#include <string_view>

#include "host/failure.h"
#include "host/platform.h"

namespace trovel {

// Has the interpreter named by COMSPEC (or "cmd.exe") run `commandText`
// without its trailing blanks, as "<interpreter> /c <command>", and blocks
// until the interpreter has ended. Returns its exit code, whatever it is; or
// -1 when nothing was started, with the cause recorded in the platform (2: no
// such interpreter or COMSPEC too long, 7: command longer than 1024
// characters, 8: not a program, 12: any other failure). Where the interpreter
// parses command lines, the command is escaped so that it reaches the program
// it names as it stands. No memory for the command line ends the run.
int runCommand(Platform& os, Failures& failures, std::string_view commandText);

}  // namespace trovel
