#pragma once

#include "run/platform.h"

/// The whole run: capture list path in argv[1], batch list beside it. Returns
/// the exit status: 0 after a finished run (whatever the number of rows), -1
/// when any step fails, -2 without an argument.
int runCommand(int argc, const char* const argv[], Platform& platform);
