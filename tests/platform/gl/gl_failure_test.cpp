// What the GL device does when GL refuses: a shader the driver cannot compile is reported
// with its log, once per shape, and its draws fail; a back buffer GL cannot make means no
// device at all, and says why.
#include "gl/ffp_program.h"
#include "gl/gl_profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/support/headless_device.h"

namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

std::string BrokenVertexShader(const platform::FfpShape&) { return "#version 330 core\nvoid main() { nonsense; }\n"; }

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(GlFailure, RefusedShaderIsReportedOncePerShapeWithTheDriversLog) {
    demo_test::HeadlessDevice headless = demo_test::CreateHeadlessDevice(16, 16);
    ASSERT_NE(headless.device, nullptr);  // its GL context is the current one
    {
        platform::FfpProgram program(platform::FfpSources{BrokenVertexShader, platform::FfpFragmentShaderSource});
        platform::FfpShape first{}, second{};
        second.lightCount = 1;
        CaptureStderr();
        EXPECT_EQ(program.programFor(first), 0u);
        EXPECT_EQ(program.programFor(first), 0u);
        const std::string once = GetCapturedStderr();
        EXPECT_EQ(LineCount(once), 1) << once;
        EXPECT_EQ(once.rfind("platform: the driver refused a fixed-function shader", 0), 0u) << once;
        EXPECT_NE(once.find("nonsense"), std::string::npos) << "the driver's log names the fault: " << once;

        CaptureStderr();
        EXPECT_EQ(program.programFor(second), 0u);
        EXPECT_EQ(LineCount(GetCapturedStderr()), 1);
    }
    demo_test::ReleaseHeadlessDevice(&headless);
}

TEST(GlFailure, BackBufferGlCannotMakeMeansNoDevice) {
    demo_test::HeadlessDevice headless = demo_test::CreateHeadlessDevice(16, 16);
    ASSERT_NE(headless.d3d, nullptr);
    // Far wider than any GL renderbuffer.
    D3DPRESENT_PARAMETERS parameters = demo_test::HeadlessPresentParameters(headless.window, 100000, 16);
    IDirect3DDevice9* device = nullptr;
    CaptureStderr();
    const HRESULT created = headless.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, headless.window,
                                                       D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device);
    const std::string said = GetCapturedStderr();
    EXPECT_EQ(created, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(LineCount(said), 1) << said;
    EXPECT_NE(said.find("100000x16 back buffer"), std::string::npos) << said;
    demo_test::ReleaseHeadlessDevice(&headless);
}

}  // namespace

namespace {

// The ES runs of these tests must really draw on an ES context, or a change that breaks the
// browser's GL would pass them unnoticed.
TEST(GlProfileChoice, TheContextIsOfTheChosenProfile) {
    demo_test::HeadlessDevice headless = demo_test::CreateHeadlessDevice(16, 16);
    ASSERT_NE(headless.device, nullptr);
    const char* chosen = std::getenv("DEMO_GL_PROFILE");
    const bool es = chosen != nullptr && std::string(chosen) == "es";
    const std::string version = platform::CurrentGlVersion();
    EXPECT_EQ(version.rfind("OpenGL ES 3.", 0) == 0, es) << version;
    demo_test::ReleaseHeadlessDevice(&headless);
}

}  // namespace
