// demo-run's main: parses the command line, loads the input script, runs the program with
// a FrameDriver and reports. Exit codes: 0 ran (to the last frame or until the program
// quit), 1 the program could not run or a capture failed, 2 a usage error (bad argument,
// unknown program, bad input script).
#pragma once

#include <vector>

#include "tools/demo-run/program_table.h"

// programs: the names the runner accepts, each with the program it runs; any other name is
// an unknown program.
int RunDemo(int argc, char** argv, const std::vector<ProgramEntry>& programs);
