// The runner with the probe application as its only program, for the runner's tests.
#include "tests/demo-run/probe_app.h"
#include "tools/demo-run/runner.h"

int main(int argc, char** argv) { return RunDemo(argc, argv, {{"probe", RunApplication<ProbeApp>}}); }
