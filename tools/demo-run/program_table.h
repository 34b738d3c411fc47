// The programs a runner can start: each entry constructs the program's application object
// on its own stack and runs it, exactly as the program's entry point does.
#pragma once

#include <windows.h>

#include <vector>

struct ProgramEntry {
    const char* name;
    void (*run)(HINSTANCE instance);
};

// Runs application class App as its entry point would: `App app(instance); app.Run();`.
template <class App>
void RunApplication(HINSTANCE instance) {
    App app(instance);
    app.Run();
}

// The programs linked into demo-run (tools/demo-run/programs.cpp).
extern const std::vector<ProgramEntry> BuiltPrograms;
