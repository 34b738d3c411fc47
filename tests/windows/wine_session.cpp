#include "tests/windows/wine_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>

extern char** environ;

namespace wine_check {

namespace {

// Larger than any program's window, so nothing is cut at the screen's edge.
const char kScreenGeometry[] = "1280x1024x24";
constexpr int kXvfbStartSeconds = 20;
constexpr double kXvfbStopSeconds = 5;
// The trace grows by megabytes; it is read again at this pace while waiting for frames.
constexpr int kTracePollMilliseconds = 500;

bool WaitFor(const std::function<bool()>& condition, double seconds, int pollMilliseconds = 100) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMilliseconds));
    }
    return condition();
}

// The exit status of the child, waiting at most the given time; -1 when it is still running
// or did not exit normally.
int WaitForExit(pid_t* child, double seconds) {
    int status = 0;
    if (!WaitFor([&] { return waitpid(*child, &status, WNOHANG) == *child; }, seconds)) return -1;
    *child = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void KillAndReap(pid_t* child) {
    if (*child <= 0) return;
    kill(*child, SIGKILL);
    waitpid(*child, nullptr, 0);
    *child = 0;
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& settings) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('='));
        const bool replaced = std::any_of(settings.begin(), settings.end(), [&](const std::string& setting) {
            return setting.compare(0, name.size() + 1, name + "=") == 0;
        });
        if (!replaced) environment.push_back(variable);
    }
    environment.insert(environment.end(), settings.begin(), settings.end());
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

Display* AsDisplay(void* display) { return static_cast<Display*>(display); }

std::string WindowTitle(Display* display, Window window) {
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

std::string WindowClass(Display* display, Window window) {
    XClassHint hint = {};
    std::string name;
    if (XGetClassHint(display, window, &hint)) {
        if (hint.res_name != nullptr) name = hint.res_name;
        if (hint.res_name != nullptr) XFree(hint.res_name);
        if (hint.res_class != nullptr) XFree(hint.res_class);
    }
    return name;
}

// Visible top-level windows larger than a pixel: Wine keeps 1x1 helper windows mapped.
std::vector<Window> VisibleTopLevelWindows(Display* display) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> windows;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return windows;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes = {};
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
            attributes.width > 1 && attributes.height > 1)
            windows.push_back(children[i]);
    }
    if (children != nullptr) XFree(children);
    return windows;
}

}  // namespace

PrivateXServer::~PrivateXServer() {
    if (pid <= 0) return;
    // Asked to end, the server removes its lock file and socket; killed, it would leave them.
    kill(pid, SIGTERM);
    if (WaitForExit(&pid, kXvfbStopSeconds) < 0) KillAndReap(&pid);
}

bool PrivateXServer::Start(std::string* error) {
    int ready[2];
    if (pipe(ready) != 0) {
        *error = "cannot make a pipe for Xvfb";
        return false;
    }
    pid = fork();
    if (pid == 0) {
        close(ready[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(ready[1]);
        // -displayfd: the server picks a free display and writes its number when it is ready.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", kScreenGeometry, "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    std::string number;
    pollfd wait = {ready[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait, 1, kXvfbStartSeconds * 1000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (pid < 0 || number.empty()) {
        *error = "Xvfb did not start (is it installed?)";
        KillAndReap(&pid);
        return false;
    }
    displayName = ":" + number;
    return true;
}

WineProgram::~WineProgram() {
    if (pid > 0) Kill();
    if (display != nullptr) XCloseDisplay(AsDisplay(display));
}

bool WineProgram::Start(std::string* error) {
    display = XOpenDisplay(launch.displayName.c_str());
    if (display == nullptr) {
        *error = "cannot open the X display " + launch.displayName;
        return false;
    }
    std::vector<std::string> environment = EnvironmentWith({
        "DISPLAY=" + launch.displayName,
        "WINEPREFIX=" + launch.prefix,
        "WINEDEBUG=" + launch.debugChannels,
        // A crash ends the program instead of opening the debugger's dialog.
        "WINEDLLOVERRIDES=winedbg.exe=d",
    });
    std::vector<std::string> arguments = {"wine", launch.program + ".exe"};
    pid = fork();
    if (pid == 0) {
        const int log = open(launch.logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log < 0 || chdir(launch.binDirectory.c_str()) != 0) _exit(127);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execvpe("wine", Pointers(arguments).data(), Pointers(environment).data());
        _exit(127);
    }
    if (pid < 0) {
        *error = "cannot start wine";
        return false;
    }
    return true;
}

unsigned long WineProgram::FindMainWindow() {
    Display* x = AsDisplay(display);
    for (Window candidate : VisibleTopLevelWindows(x)) {
        if (WindowTitle(x, candidate) == launch.caption && WindowClass(x, candidate) == launch.program + ".exe")
            return candidate;
    }
    return 0;
}

bool WineProgram::WaitForWindow(double seconds) {
    return WaitFor(
        [&] {
            int status = 0;
            if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) pid = 0;
            return pid == 0 || (window = FindMainWindow()) != 0;
        },
        seconds) &&
           window != 0;
}

int WineProgram::TextsDrawn(int left, int top) {
    int drawn = 0;
    for (const DrawnText& text : DrawnTextsInTrace(ReadWholeFile(launch.logPath)))
        if (text.left == left && text.top == top) ++drawn;
    return drawn;
}

int WineProgram::WaitForTexts(int left, int top, int count, double seconds) {
    int drawn = 0;
    WaitFor([&] { return (drawn = TextsDrawn(left, top)) >= count; }, seconds, kTracePollMilliseconds);
    return drawn;
}

bool WineProgram::Grab(Image* image, std::string* error) {
    Display* x = AsDisplay(display);
    XWindowAttributes attributes = {};
    if (window == 0 || !XGetWindowAttributes(x, window, &attributes)) {
        *error = "the window of " + launch.program + " is gone";
        return false;
    }
    // Read from the screen, where Wine's GL child window and the window itself are one
    // picture, as the user sees them.
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &left, &top, &child);
    XImage* grabbed = XGetImage(x, DefaultRootWindow(x), left, top, attributes.width, attributes.height, AllPlanes,
                                ZPixmap);
    if (grabbed == nullptr) {
        *error = "cannot read the window of " + launch.program + " from the screen";
        return false;
    }
    image->width = attributes.width;
    image->height = attributes.height;
    image->pixels.resize(size_t(image->width) * image->height);
    for (int y = 0; y < image->height; ++y)
        for (int xPos = 0; xPos < image->width; ++xPos)
            image->pixels[size_t(y) * image->width + xPos] = XGetPixel(grabbed, xPos, y) & 0xFFFFFF;
    XDestroyImage(grabbed);
    return true;
}

std::vector<std::string> WineProgram::OtherWindows() {
    Display* x = AsDisplay(display);
    std::vector<std::string> titles;
    for (Window candidate : VisibleTopLevelWindows(x)) {
        if (candidate != window) titles.push_back("\"" + WindowTitle(x, candidate) + "\" (" + WindowClass(x, candidate) + ")");
    }
    return titles;
}

int WineProgram::Close(double seconds) {
    if (pid <= 0) return -1;
    if (window != 0) {
        Display* x = AsDisplay(display);
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(x, window, False, NoEventMask, &event);
        XFlush(x);
    }
    const int status = WaitForExit(&pid, seconds);
    if (pid > 0) Kill();
    return status;
}

void WineProgram::Kill() {
    const std::string command = "WINEPREFIX='" + launch.prefix + "' wineserver -k >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        // No wineserver was running: the program is already gone or never got that far.
    }
    if (pid > 0 && WaitForExit(&pid, 10) < 0) KillAndReap(&pid);
}

std::vector<DrawnText> DrawnTextsInTrace(const std::string& log) {
    // trace:d3dx:ID3DXFontImpl_DrawTextW iface ..., string L"2716 triangles", in_count -1,
    // rect (70,10)-(170,28), format 0, color 0xffffffff.
    static const std::regex kDrawText(R"re(DrawTextW .*string L"(.*)", in_count -?\d+, rect \((-?\d+),(-?\d+)\)-)re");
    std::vector<DrawnText> texts;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch match;
        if (line.find("DrawTextW") != std::string::npos && std::regex_search(line, match, kDrawText))
            texts.push_back({std::stoi(match[2]), std::stoi(match[3]), match[1]});
    }
    return texts;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

}  // namespace wine_check
