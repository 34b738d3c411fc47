// Splits arbitrary bytes at NUL characters into a demo-run command line and parses it; an
// accepted command line names a program and keeps every capture within the frame count.
#include "tools/demo-run/run_options.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    RunOptions options;
    std::string error;
    if (!ParseRunOptions(arguments, &options, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (options.program.empty() || options.frames < 0) std::abort();
    for (const FrameCapture& capture : options.captures) {
        if (capture.frame < 1 || capture.frame > options.frames || capture.path.empty()) std::abort();
    }
    return 0;
}
