// The application shell on trace devices: hook order, the frame clock, the F1 toggle, the
// ways the loop ends and when the input snapshots change.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <host.h>

#include "framework/app_shell.h"
#include "framework/input_devices.h"
#include "framework/text_font.h"
#include "tests/framework/shell_harness.h"

namespace {

class AppShellTest : public ::testing::Test {
protected:
    void SetUp() override { ResetShellState(); }
    void TearDown() override {
        ResetShellState();
        host::UseTraceDevices(false);
    }
};

// Swallows the W key's WM_KEYDOWN, so no handled message reports it.
bool SwallowW(HWND, UINT message, WPARAM wParam, LPARAM) { return message == WM_KEYDOWN && wParam == 'W'; }

}  // namespace

TEST_F(AppShellTest, HooksRunOnceAroundTheFrames) {
    RecordingApp app;
    ScriptedLoop loop;
    loop.frames = 3;
    loop.Run(app);
    EXPECT_EQ(app.inits, 1);
    EXPECT_TRUE(app.deviceAtInit);
    EXPECT_FALSE(app.inputAtInit);
    EXPECT_EQ(app.frames.size(), 3u);
    EXPECT_TRUE(app.fontDuringFrames);
    EXPECT_EQ(app.cleanups, 1);
    EXPECT_FALSE(StartFailed);
    EXPECT_EQ(app.device, nullptr);
    EXPECT_EQ(app.d3d, nullptr);
    EXPECT_EQ(Keyboard, nullptr);
    EXPECT_EQ(DirectInput, nullptr);
    EXPECT_EQ(app.font.font, nullptr);
    EXPECT_EQ(app.font.height, 18);

    // A 45° field of view over the client area, 0.1 to 5000.
    ASSERT_GT(app.heightAtInit, 0);
    const float yScale = 2.4142136f;
    EXPECT_NEAR(app.projection.m[1][1], yScale, 1e-5f);
    EXPECT_NEAR(app.projection.m[0][0], yScale * app.heightAtInit / app.widthAtInit, 1e-5f);
    EXPECT_NEAR(app.projection.m[2][2], 5000 / 4999.9f, 1e-6f);
    EXPECT_NEAR(app.projection.m[3][2], -0.1f * 5000 / 4999.9f, 1e-6f);
    EXPECT_FLOAT_EQ(app.projection.m[2][3], 1);
}

TEST_F(AppShellTest, WithoutADeviceTheProgramEndsBeforeAnyHook) {
    host::RefuseDevices(true);
    RecordingApp app;
    ::testing::internal::CaptureStderr();
    app.Run();
    const std::string error = ::testing::internal::GetCapturedStderr();
    host::RefuseDevices(false);
    EXPECT_TRUE(StartFailed);
    EXPECT_EQ(error, "shell test: cannot create the Direct3D 9 device\n");
    EXPECT_EQ(app.inits, 0);
    EXPECT_TRUE(app.frames.empty());
    EXPECT_EQ(app.cleanups, 0);
    EXPECT_EQ(app.device, nullptr);
    EXPECT_EQ(Keyboard, nullptr) << "no input devices without a device";
}

TEST_F(AppShellTest, ConstructorCopiesTheCaptionSafely) {
    ClientWidth = 5;
    const RecordingApp tether("tether");
    EXPECT_STREQ(tether.caption, "tether");
    EXPECT_EQ(ClientWidth, 800);
    EXPECT_EQ(ClientHeight, 600);
    EXPECT_FALSE(tether.wireframe);
    EXPECT_FALSE(tether.fullscreen);

    const std::string endless(1000, 'x');
    const RecordingApp longOne(endless.c_str());
    EXPECT_EQ(std::strlen(longOne.caption), sizeof(longOne.caption) - 1);
    EXPECT_EQ(std::string(longOne.caption), endless.substr(0, sizeof(longOne.caption) - 1));
}

TEST_F(AppShellTest, FirstFrameElapsedIsTheWholeClock) {
    RecordingApp app;
    ScriptedLoop loop;
    loop.frames = 3;
    loop.clockOf = [](int frame) { return uint32_t(5000 + (frame - 1) * 16); };
    loop.Run(app);
    ASSERT_EQ(app.frames.size(), 3u);
    EXPECT_DOUBLE_EQ(app.frames[0].elapsed, 5.0);
    EXPECT_NEAR(app.frames[1].elapsed, 0.016, 1e-9);
    EXPECT_NEAR(app.frames[2].current, 5.032, 1e-9);
}

TEST_F(AppShellTest, ClockWithTheTopBitSetIsPositive) {
    RecordingApp app;
    ScriptedLoop loop;
    loop.frames = 2;
    loop.clockOf = [](int frame) { return uint32_t(0x80000000u + 16u * frame); };
    loop.Run(app);
    ASSERT_EQ(app.frames.size(), 2u);
    EXPECT_NEAR(app.frames[0].current, 2147483.664, 1e-6);
    EXPECT_NEAR(app.frames[1].elapsed, 0.016, 1e-6);
}

TEST_F(AppShellTest, F1TogglesOncePerPress) {
    RecordingApp app;
    ScriptedLoop loop;
    loop.frames = 8;
    loop.before[2] = [] { host::InjectKey(VK_F1, true); };
    loop.before[3] = [] { host::InjectKey(VK_F1, true); };  // auto-repeat while held
    loop.before[5] = [] { host::InjectKey(VK_F1, false); };
    loop.before[7] = [] { host::InjectKey(VK_F1, true); };
    loop.Run(app);
    ASSERT_EQ(app.frames.size(), 8u);
    const bool expected[8] = {false, true, true, true, true, true, false, false};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(app.frames[i].wireframe, expected[i]) << "frame " << i + 1;
    EXPECT_EQ(app.frames[1].fillMode, DWORD(D3DFILL_WIREFRAME));
    EXPECT_EQ(app.frames[5].fillMode, DWORD(D3DFILL_WIREFRAME));
    EXPECT_EQ(app.frames[6].fillMode, DWORD(D3DFILL_SOLID));
}

TEST_F(AppShellTest, EscapeAndCloseEndTheLoop) {
    RecordingApp escaped;
    ScriptedLoop escape;
    escape.frames = 10;
    escape.before[3] = [] { host::InjectKey(VK_ESCAPE, true); };
    escape.Run(escaped);
    EXPECT_EQ(escaped.frames.size(), 2u);
    EXPECT_EQ(escaped.cleanups, 1);

    ResetShellState();
    RecordingApp closed;
    ScriptedLoop close;
    close.frames = 10;
    close.before[2] = [] { host::InjectClose(); };
    close.Run(closed);
    EXPECT_EQ(closed.frames.size(), 1u);
    EXPECT_EQ(closed.cleanups, 1);
}

TEST_F(AppShellTest, SnapshotsChangeOnlyOnHandledMessages) {
    MessageHook = SwallowW;
    RecordingApp app;
    ScriptedLoop loop;
    loop.frames = 4;
    loop.before[2] = [] { host::InjectKey('W', true); };
    loop.before[3] = [] { host::InjectMouseMove(50, 60); };
    loop.before[4] = [] { host::InjectMouseButton(0, true); };
    loop.Run(app);
    ASSERT_EQ(app.frames.size(), 4u);
    // The swallowed key and the bare move leave the snapshots as they were.
    EXPECT_EQ(app.frames[1].keyW, 0);
    EXPECT_EQ(app.frames[1].keyTableW, 0);
    EXPECT_EQ(app.frames[2].keyW, 0);
    EXPECT_EQ(app.frames[2].cursorX, 50);
    EXPECT_EQ(app.frames[2].cursorY, 60);
    // The button press is handled: both snapshots are read again, the held W included.
    EXPECT_EQ(app.frames[3].keyW, 0x80);
    EXPECT_EQ(app.frames[3].keyTableW, 0);
    EXPECT_EQ(app.frames[3].leftSnapshot, 0x80);
    EXPECT_EQ(app.frames[3].leftButton, 1);
}

TEST_F(AppShellTest, WindowProcKeepsSizeAndTables) {
    WindowProc(nullptr, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
    EXPECT_EQ(GetClientWidth(), 640);
    EXPECT_EQ(GetClientHeight(), 480);
    // Minimised: height 0 is stored as 1 so the aspect ratio stays finite.
    WindowProc(nullptr, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    EXPECT_EQ(GetClientWidth(), 0);
    EXPECT_EQ(GetClientHeight(), 1);

    EXPECT_EQ(WindowProc(nullptr, WM_KEYDOWN, VK_UP, 0), 0);
    EXPECT_EQ(KeyTable[VK_UP], 1);
    WindowProc(nullptr, WM_KEYUP, VK_UP, 0);
    EXPECT_EQ(KeyTable[VK_UP], 0);
    WindowProc(nullptr, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    EXPECT_EQ(MouseButtons[1], 1);
    EXPECT_EQ(MouseButtons[0], 0);
    WindowProc(nullptr, WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(MouseButtons[1], 0);

    MessageHook = [](HWND, UINT message, WPARAM, LPARAM) { return message == WM_SIZE; };
    WindowProc(nullptr, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1024, 768));
    EXPECT_EQ(GetClientWidth(), 0);
}
