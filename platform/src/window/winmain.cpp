// The entry shim linked into every program: the process starts here and enters the program's
// WinMain, as the Windows GUI subsystem would.
#include <windows.h>

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#endif

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    const int result = WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
#if defined(__EMSCRIPTEN__)
    // A main that waited for the browser (Asyncify) returns into no caller that would end the
    // program: it ends here, and the page hears of it (Module.onExit).
    emscripten_force_exit(result);
#endif
    return result;
}
