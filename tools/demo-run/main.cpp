// demo-run: runs a demo program headless with a virtual clock and scripted input.
#include "tools/demo-run/runner.h"

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#endif

int main(int argc, char** argv) {
    const int result = RunDemo(argc, argv, BuiltPrograms);
#if defined(__EMSCRIPTEN__)
    // In a page main returns from a wait for the browser, into no caller that would end the
    // runner: it ends here, and the page hears of it.
    emscripten_force_exit(result);
#endif
    return result;
}
