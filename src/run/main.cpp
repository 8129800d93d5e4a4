#include "host/platform.h"
#include "run/program.h"

int main(int argc, char** argv) {
  trovel::runProgram(trovel::systemPlatform(argc, argv));
}
