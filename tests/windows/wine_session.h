// Running a Windows program under Wine for the checks: a private X server (Xvfb) on a free
// display, the program started in its bin folder, its window found and grabbed from the
// screen, then closed the way a user closes it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/windows/screen_image.h"

namespace wine_check {

// An Xvfb server of its own, so checks never meet another program's windows.
class PrivateXServer {
public:
    PrivateXServer() = default;
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;
    ~PrivateXServer();

    bool Start(std::string* error);
    const std::string& DisplayName() const { return displayName; }

private:
    pid_t pid = 0;
    std::string displayName;
};

struct WineLaunch {
    std::string program;        // NAME: runs NAME.exe, whose window class is "NAME.exe" under Wine
    std::string caption;        // the title of its main window
    std::string binDirectory;   // the working directory, so that "..\Resource\" resolves
    std::string prefix;         // a prepared WINEPREFIX
    std::string displayName;    // the X display
    std::string debugChannels;  // WINEDEBUG
    std::string logPath;        // Wine's standard output and error go here
};

// One run of a program under Wine. The destructor ends whatever is still running.
class WineProgram {
public:
    explicit WineProgram(WineLaunch launch) : launch(std::move(launch)) {}
    WineProgram(const WineProgram&) = delete;
    WineProgram& operator=(const WineProgram&) = delete;
    ~WineProgram();

    bool Start(std::string* error);
    // True once the main window is on the screen; false when it did not come in time or the
    // program ended first.
    bool WaitForWindow(double seconds);
    // The texts drawn so far with their rectangle's corner at (left, top), counted in Wine's
    // d3dx trace (WINEDEBUG=trace+d3dx): a text drawn once a frame counts the frames.
    int TextsDrawn(int left, int top);
    // Waits until TextsDrawn reaches `count`; returns the count reached.
    int WaitForTexts(int left, int top, int count, double seconds);
    // The main window's client area as it is on the screen.
    bool Grab(Image* image, std::string* error);
    // Titles of the program's other visible windows (a message box, a crash dialog).
    std::vector<std::string> OtherWindows();
    // Closes the main window as the window manager's close button would (WM_CLOSE) and
    // returns the exit status; -1 when the program had to be killed.
    int Close(double seconds);
    // Ends every process of the prefix at once.
    void Kill();

private:
    unsigned long FindMainWindow();

    WineLaunch launch;
    pid_t pid = 0;
    void* display = nullptr;  // the Xlib connection, opened once the program runs
    unsigned long window = 0;
};

// A text that the program drew with ID3DXFont::DrawTextW, read from Wine's d3dx trace.
struct DrawnText {
    int left = 0;
    int top = 0;
    std::string text;
};

// Every DrawTextW call in a Wine log written with WINEDEBUG=trace+d3dx, in order.
std::vector<DrawnText> DrawnTextsInTrace(const std::string& log);

// The contents of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);

}  // namespace wine_check
