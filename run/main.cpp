#include "run/platform.h"
#include "run/run_command.h"

int main(int argc, char* argv[]) {
  prepareProcess();
  return runCommand(argc, argv, systemPlatform());
}
