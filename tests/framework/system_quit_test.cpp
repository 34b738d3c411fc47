// A quit request from the system (Ctrl+C, SIGTERM) ends a program as closing its window
// does: the loop ends, Cleanup runs and the device is released. Without a display the
// program runs headless and must end the same way rather than draw on forever.
#include <gtest/gtest.h>

#include <signal.h>

#include "tests/support/child_process.h"

namespace {

using demo_test::ChildProcess;

// The window probe exits with 1 only after Cleanup ran and the device was released.
constexpr int kCleanExit = 1;
constexpr double kStartSeconds = 30;
constexpr double kQuitSeconds = 10;

void ExpectSignalEndsHeadlessProbe(int signal) {
    ChildProcess probe({WINDOW_PROBE}, {"DISPLAY", "WAYLAND_DISPLAY"});
    ASSERT_TRUE(probe.Started());
    ASSERT_TRUE(probe.WaitForLine("first frame", kStartSeconds)) << probe.Output();
    probe.Signal(signal);
    EXPECT_EQ(probe.WaitForExit(kQuitSeconds), kCleanExit) << "signal " << signal;
}

}  // namespace

TEST(SystemQuit, InterruptEndsHeadlessProgramThroughCleanup) { ExpectSignalEndsHeadlessProbe(SIGINT); }

TEST(SystemQuit, TerminateEndsHeadlessProgramThroughCleanup) { ExpectSignalEndsHeadlessProbe(SIGTERM); }

TEST(SystemQuit, TerminateEndsDemoRunAsTheProgramQuitting) {
    // Far more frames than the test waits for: only the signal can end this run.
    ChildProcess run({DEMO_RUN, "tether", "--frames", "100000000", "--text"}, {"DISPLAY", "WAYLAND_DISPLAY"});
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitForLine("frame 2 ", kStartSeconds)) << run.Output();
    run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitForExit(kQuitSeconds), 0);
}
