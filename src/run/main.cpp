#include "host/platform.h"

int main(int argc, char** argv) {
  trovel::systemPlatform(argc, argv);
  return 0;
}
