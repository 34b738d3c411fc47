// The entry shim linked into every program: the process starts here and enters the program's
// WinMain, as the Windows GUI subsystem would.
#include <windows.h>

#include <host.h>

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    return host::EndMain(WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL));
}
