// The runner with the probe application as its only built program, for the runner's tests.
#include <iterator>

#include "tests/demo-run/probe_app.h"
#include "tools/demo-run/runner.h"

int main(int argc, char** argv) {
    std::vector<const char*> names(std::begin(kDemoProgramNames), std::end(kDemoProgramNames));
    names.push_back("probe");
    const std::vector<ProgramEntry> programs = {{"probe", RunApplication<ProbeApp>}};
    return RunDemo(argc, argv, names, programs);
}
