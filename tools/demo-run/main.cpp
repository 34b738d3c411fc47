// demo-run: runs a demo program headless with a virtual clock and scripted input.
#include <iterator>

#include "tools/demo-run/runner.h"

int main(int argc, char** argv) {
    return RunDemo(argc, argv, std::vector<const char*>(std::begin(kDemoProgramNames), std::end(kDemoProgramNames)),
                   BuiltPrograms);
}
