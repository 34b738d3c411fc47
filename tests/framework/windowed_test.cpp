// The windowed path: a program in a real X window (a private Xvfb server) shows each
// presented frame, stretched to the client area when the window is resized.
// gtest first: Xlib's macros (None, Bool, Status) would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "tests/support/child_process.h"

extern char** environ;

namespace {

const char kInsideXvfb[] = "DEMO_WINDOWED_TEST_DISPLAY";
const unsigned long kRed = 0xFF0000;
const unsigned long kGreen = 0x00FF00;

bool WaitFor(const std::function<bool()>& condition, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

// The top-level window with the given title, or 0.
Window FindWindow(Display* display, const char* title) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name != nullptr) {
            if (std::strcmp(name, title) == 0) found = children[i];
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

// The window's pixel at (x, y) as 0xRRGGBB, or 1 (not a 24-bit colour) when unreadable.
unsigned long PixelAt(Display* display, Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 1;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

bool WindowSizeIs(Display* display, Window window, int width, int height) {
    XWindowAttributes attributes = {};
    XGetWindowAttributes(display, window, &attributes);
    return attributes.width == width && attributes.height == height;
}

// Red left half, green right half, sampled at a quarter and three quarters of the width.
bool ShowsHalves(Display* display, Window window, int width, int y) {
    return PixelAt(display, window, width / 4, y) == kRed && PixelAt(display, window, width * 3 / 4, y) == kGreen;
}

void CloseWindow(Display* display, Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

// The exit status of the child, waiting at most the given time; -1 if it had to be killed.
int WaitForExit(pid_t child, double seconds) {
    int status = 0;
    if (WaitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, seconds))
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

void CheckWindowShowsFrames() {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display inside xvfb-run";
    char* arguments[] = {const_cast<char*>(WINDOW_PROBE), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, WINDOW_PROBE, nullptr, nullptr, arguments, environ), 0);

    Window window = 0;
    EXPECT_TRUE(WaitFor([&] { return (window = FindWindow(display, "window probe")) != 0; }, 20));
    if (window != 0) {
        XWindowAttributes attributes = {};
        XGetWindowAttributes(display, window, &attributes);
        EXPECT_TRUE(WaitFor([&] { return ShowsHalves(display, window, attributes.width, attributes.height / 2); }, 20))
            << "the presented frame never showed in the " << attributes.width << "x" << attributes.height << " window";

        // Wider and taller than the back buffer: the frame is stretched over the whole client
        // area, so the halves split at the new middle and reach the new bottom row.
        const int width = attributes.width + 300;
        const int height = attributes.height + 200;
        XResizeWindow(display, window, width, height);
        XSync(display, False);
        EXPECT_TRUE(WaitFor([&] { return WindowSizeIs(display, window, width, height); }, 10));
        EXPECT_TRUE(WaitFor(
            [&] {
                return ShowsHalves(display, window, width, height - 3) &&
                       PixelAt(display, window, width / 2 - 20, height / 2) == kRed &&
                       PixelAt(display, window, width / 2 + 20, height / 2) == kGreen;
            },
            20))
            << "the frame was not stretched to " << width << "x" << height;
        CloseWindow(display, window);
    }
    // Closing the window ends the program; its entry point returns 1.
    EXPECT_EQ(WaitForExit(child, 20), 1);
    XCloseDisplay(display);
}

// In a real window, a quit request from the system closes it as the user would.
void CheckSignalClosesWindow(int signal) {
    demo_test::ChildProcess probe({WINDOW_PROBE});
    ASSERT_TRUE(probe.Started());
    ASSERT_TRUE(probe.WaitForLine("first frame", 20)) << probe.Output();
    probe.Signal(signal);
    // 1: the loop ended, Cleanup ran and the device was released.
    EXPECT_EQ(probe.WaitForExit(10), 1) << "signal " << signal;
}

bool InsideXvfb() { return std::getenv(kInsideXvfb) != nullptr; }

bool XvfbInstalled() { return std::system("command -v xvfb-run >/dev/null 2>&1") == 0; }

// Runs the named test of this executable again inside a private X server.
void RerunInsideXvfb(const std::string& testName) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command = std::string(kInsideXvfb) + "=1 xvfb-run -a -s '-screen 0 1600x1200x24' " + self +
                                " --gtest_filter=Windowed." + testName;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace

TEST(Windowed, PresentedFrameFillsTheWindow) {
    if (InsideXvfb()) return CheckWindowShowsFrames();
    if (!XvfbInstalled()) GTEST_SKIP() << "xvfb-run is not installed";
    RerunInsideXvfb("PresentedFrameFillsTheWindow");
}

TEST(Windowed, InterruptClosesTheWindowThroughCleanup) {
    if (InsideXvfb()) return CheckSignalClosesWindow(SIGINT);
    if (!XvfbInstalled()) GTEST_SKIP() << "xvfb-run is not installed";
    RerunInsideXvfb("InterruptClosesTheWindowThroughCleanup");
}

TEST(Windowed, TerminateClosesTheWindowThroughCleanup) {
    if (InsideXvfb()) return CheckSignalClosesWindow(SIGTERM);
    if (!XvfbInstalled()) GTEST_SKIP() << "xvfb-run is not installed";
    RerunInsideXvfb("TerminateClosesTheWindowThroughCleanup");
}
