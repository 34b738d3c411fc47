// demo-run: runs a demo program headless with a virtual clock and scripted input.
#include "tools/demo-run/runner.h"

#include <host.h>

int main(int argc, char** argv) { return host::EndMain(RunDemo(argc, argv, BuiltPrograms)); }
