// Parses arbitrary text as a demo-run input script; accepted events must be in range and in
// frame order.
#include "tools/demo-run/input_script.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptEvent> events;
    std::string error;
    if (!ParseInputScript(text, &events, &error)) {
        if (error.rfind("line ", 0) != 0) std::abort();
        return 0;
    }
    for (size_t i = 0; i < events.size(); ++i) {
        const ScriptEvent& event = events[i];
        if (event.frame < 1 || event.frame > 100000000) std::abort();
        if (i > 0 && events[i - 1].frame > event.frame) std::abort();
        if ((event.kind == ScriptEvent::kKeyDown || event.kind == ScriptEvent::kKeyUp) &&
            (event.virtualKey <= 0 || event.virtualKey > 255)) {
            std::abort();
        }
        if (event.kind == ScriptEvent::kMove && (std::abs(event.x) > 100000 || std::abs(event.y) > 100000)) {
            std::abort();
        }
    }
    return 0;
}
