// demo-run: runs a demo program headless with a virtual clock and scripted input.
#include "tools/demo-run/runner.h"

int main(int argc, char** argv) { return RunDemo(argc, argv, BuiltPrograms); }
